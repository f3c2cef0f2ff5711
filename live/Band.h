// The amateur band of a frequency. Plain C++, no Qt.
#pragma once

#include <string_view>

namespace live {

// The band name ("160m", "20m", "2m", "70cm") of a frequency in kHz, empty
// when the frequency lies on none of the listed bands (or is not finite).
std::string_view BandOfKHz(double kHz);

// The band's position in the list (0 = the longest wave), -1 for none; it
// orders bands and picks their colours.
int BandIndex(std::string_view band);
// Number of listed bands.
int BandCount();
// The band's name by index ("" outside 0..BandCount()-1).
std::string_view BandName(int index);

} // namespace live
