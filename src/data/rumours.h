// What the guests of the inn talk about: 20 fixed rumours, one of which the
// hero overhears at random. Entries 0, 18 and 19 end without a newline.
#pragma once

#include <array>

namespace kelvrin {

inline constexpr std::array<const char*, 20> rumourTable{{
    /*  0 */ "Podsłuchujesz rozmowę dwóch wieśniaków.\n-\"Mówio że ogry robio z kości chleb...\"",
    /*  1 */ "Zagadujesz wojownika weterana pytając o magiczne bronie.\n-\"Najczęsciej spotykanymi umagicznieniami broni jest celność i ostrość. Celna broń sama wykręca się w dłoni próbując trafić wroga. Ostra broń ma większe szanse na zadanie krytycznego ciosu.\"\n",
    /*  2 */ "Zagadujesz wojownika weterana pytając o magiczne pancerze.\n-\"Dość często spotyka się pancerz odporności oraz migotania, chociaż ten drugi jest zdecydowanie rzadszy. Pancerz odporności chroni częściowo posiadacza przed truciznami. Pancerz migotania sprawia że co chwilę stajesz się bezcielesny, nie przeszkadza to użytkownikowi ale za to przeciwnik może trafić w pustkę.\"\n",
    /*  3 */ "Zagadujesz wojownika weterana pytając o magiczne tarcze.\n-\"Nie widziałem żadnych ale ponoć istnieją.\"\n",
    /*  4 */ "Zagaduje cie pijak - \"Nie mów nikomu, ponoć karczmarz szcza do piwa!\"\n",
    /*  5 */ "Słyszysz rozmowę dwóch poszukiwaczy przygód:\n-\"Udało mi się wyciągnąć od karczmarza przydatne informacje o pobliskiej krypcie, znajdującej się w głebi podziemi. Ponoć można znaleźć tam miecz o niewyobrażalnej mocy!\"\n-\"Musimy go znaleźć!\"\nDopili piwo i wyszli.\n",
    /*  6 */ "Słuchasz informacji o potworach: \"Balor i Piekielny czart są wyjątkowo potężne. Można je znaleźć w salach bólu które znajdują się pod podziemiami\"\n",
    /*  7 */ "Słuchasz informacji o potworach: \"Balor w czasie śmierci eksploduje zadając spore obrazenia. Jest też otoczony płomieniami które zadają obrażenia w każdej rundzie.\"\n",
    /*  8 */ "Słuchasz informacji o potworach: \"Istnieją trzy rodzaje golemów, każdy silniejszy od poprzedniego. Są to: gliniany, kamienny i żelazny.\"\n",
    /*  9 */ "Słuchasz informacji o potworach: \"Drzewce są strażnikami i opiekunami drzew. Potrafią je ożywiać żeby pomogły im w walce.\"\n",
    /* 10 */ "Słuchasz informacji o potworach: \"Znajdują w podziemiach skrzynię, pamiętaj że może to być mimik udający skrzynię. Gdy tylko podejdziesz zaatakuje cie z zaskoczenia.\"\n",
    /* 11 */ "Słuchasz informacji o potworach: \"W lesie możesz znaleźć kilka silnych potworów które są zbyt duże by zmieścić się w podziemiach. Są to giganci i dinozaury.\"\n",
    /* 12 */ "Słuchasz informacji o potworach: \"Gargulce doskonale udają posągi, dlatego łatwo go pomylić i uznać za dzieło sztuki.\"\n",
    /* 13 */ "Słuchasz informacji o potworach: \"Niewidzialny łowca jest niemożliwy do zauważenia. W czasie walki z nim musisz polegać na innych zmysłach.\"\n",
    /* 14 */ "Słuchasz informacji o potworach: \"Złudne bestia potrafi pojawić się znikąd, zaatakować cię i zniknąć. Potrafi przenosić się pomiędzy wymiarem materialnym a eterycznym.\"\n",
    /* 15 */ "Słuchasz informacji o potworach: \"Mumie są powolne ale odporne na ciosy. Ich atak powoduje chorobę która obniża dość znacznie siłe i kondycję.\"\n",
    /* 16 */ "Słuchasz informacji o potworach: \"Trolle są znane z tego że potrafią regenerować zadane im obrażenia i nie znają strachu. Nawet jeśli nie mają żadnych szans na zwycięstwo i tak nie zaprzestaną ataków.\"\n",
    /* 17 */ "Słuchasz informacji o potworach: \"Ponoć istnieje potwór znany jako 'Terrasque'. Nikt kto go spotkał, nie przeżył.\"\n",
    /* 18 */ "Jakiś szlachic rozmawia z burmistrzem w sprawie okolicznych działek. Można je kupić po tysiąc sztuk złota a potem wybudować na nich dom.",
    /* 19 */ "W barakach możesz obejrzeć trofa zabrane przez siebie z zabitych potworów.",
}};

}  // namespace kelvrin
