// The town's inn: rest for gold (Pw, days on the calendar, the daily rages
// and last chances), a beer, and the rumours of the guests.
#pragma once

namespace kelvrin {

// One visit to the inn's menu: true shows it again, false returns to the town.
bool innScreen();

}  // namespace kelvrin
