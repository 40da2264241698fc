#include "data/feats.h"

namespace kelvrin {

// bit, name, type, requirement 1 (kind, value), requirement 2 (kind, value), description
const std::array<FeatDef, FeatCount> featTable{{
    {0x1, "Bieg", 0, 0, 0, 0, 0,
     "Wyjątkowo szybko przebierasz nogami, w czasie walki łatwiej będzie ci uciec."},
    {0x2, "Czujność", 0, 0, 0, 0, 0,
     "Jesteś wyjątkowo czujny, masz większe szanse na zauważenie wroga zanim on to zrobi."},
    {0x4, "Finezja", 1, 1, 1, 0, 0,
     "Twoje ataki są finezyjne, dodajesz premie ze zręczności do trafienia zamiast siły jeśli jest ona większa."},
    {0x8, "Poprawiona inicjatywa", 1, 0, 0, 0, 0,
     "W czasie walki masz większe szanse na to że to ty zaatakujesz pierwszy."},
    {0x10, "Poprawione trafienia krytyczne", 1, 1, 8, 0, 0,
     "Masz o 10% większe szanse na trafienie krytyczne wybraną bronią.  Możesz wybrać ten atut kilka razy, jednak za "
     "każdym razem dla innej broni."},
    {0x20, "Potężny atak", 1, 3, 13, 0, 0,
     "Możesz zmniejszyć dobrowolnie szansę na trafienie, dodając taką samą premie do obrażeń. Kara do trafienia nie "
     "może przekroczyć twojego bazowego ataku."},
    {0x40, "Rozszczepienie", 1, 2, 0x20, 0, 0,
     "Gdy zabijesz wroga dostajesz dodatkowy atak przeciwko kolejnemu przeciwnikowi. Jeden dodatkowy atak w jednej "
     "rundzie."},
    {0x80, "Wielkie rozszczepienie", 1, 2, 0x40, 1, 4,
     "Działa jak rozszczepienie ale nie ma limitu dodatkowych ataków."},
    {0x100, "Twardość", 1, 0, 0, 0, 0,
     "Jesteś twardszy niż inni, dostajesz dodatkow 3 punkty wytrzymałości. Możesz wybierać ten atut kilka razy."},
    {0x200, "Uniki", 1, 5, 13, 0, 0,
     "W czasie walki możesz wybrać przeciwnika przeciw któremu otrzymujesz +1 do KP. Automatycznie unikasz pierwszego "
     "wroga na liście."},
    {0x400, "Walka na ślepo", 1, 0, 0, 0, 0,
     "Masz tylko 25% szansy na nietrafienie niewidzialnego przeciwnika i nie otrzymuję on przeciwko tobie premi do "
     "trafienia."},
    {0x800, "Wyspecjalizowanie", 1, 4, 13, 0, 0,
     "Możesz zmniejszyć dobrowolnie swoją premie do trafienia, dodając taką samą premie do swojej klasy pancerza. Kara "
     "do trafienia nie może przekroczyć twojego bazowego ataku."},
    {0x1000, "Zogniskowanie broni", 1, 1, 1, 0, 0,
     "Jesteś wyjątkowo dobry w posługiwaniu się jedną z wybranych broni. Otrzymujesz +1 do trafienia gdy jej używasz. "
     "Możesz wybrać ten atut kilka razy, jednak za każdym razem dla innej broni."},
    {0x2000, "Specjalizacja w broni", 1, 1, 4, 7, 1,
     "Jesteś wyjątkowo dobry w posługiwaniu się jedną z wybranych broni. Otrzymujesz +2 do obrażeń gdy jej używasz. "
     "Możesz wybrać ten atut kilka razy, jednak za każdym razem dla innej broni."},
    {0x4000, "Dodatkowy szał", 0, 8, 0, 0, 0,
     "Możesz wpadać w szał dodatkowy raz dziennie. Możesz wybierać ten atut kilka razy."},
    {0x8000, "Przedłużony szał", 0, 8, 0, 0, 0,
     "Twój szał trwa dłużej o 3 rundy. Możesz wybierać ten atut kilka razy."},
    {0x10000, "Odporność na trucizny", 0, 6, 13, 0, 0,
     "Jesteś wyjątkowo odporny na trucizny. +4 do rzutów obronnych przeciwko trucizną."},
}};

const std::array<const char*, 2> featTypeNames{{"Ogólny", "Wojownika"}};

}  // namespace kelvrin
