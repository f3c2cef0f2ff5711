#include "dxlists/BuiltinLists.h"
#include "dxlists/DxRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace dx;

namespace {

// The ham keys in list order, repeated keys as separate entries.
const char* const HamKeys =
    "1A; 1S; 3A; 3B6; 3B7; 3B8; 3B9; 3C; 3C0; 3D2; 3DA-3DM; 3DN-3DZ; 3E-3F; 3G; 3H-3U; 3V; "
    "3W; 3X; 3Y; 3Z; 4A-4C; 4D-4I; 4J-4K; 4L; 4M; 4O; 4P-4S; 4T; 4U; 4U; 4V; 4W; 4X; 4Z; 5A; "
    "5B; 5C-5G; 5H-5I; 5H1; 5J-5K; 5L-5M; 5N-5O; 5P-5Q; 5R-5S; 5T; 5U; 5V; 5W; 5X; 5Y-5Z; "
    "6A-6B; 6C; 6D-6J; 6K-6N; 6O; 6P-6S; 6T-6U; 6V-6W; 6Y; 6Z; 7A-7I; 7J-7N; 7O; 7P; 7Q; 7R; "
    "7S; 7T-7Y; 7Z; 8A-8I; 8J; 8K; 8L; 8M; 8N; 8O; 8P; 8Q; 8R; 8S; 8T-8Y; 8Z; 9A; 9B-9D; "
    "9E-9F; 9G; 9H; 9H4; 9I-9J; 9K; 9L; 9M; 9M6; 9M8; 9N; 9O-9T; 9U; 9V; 9X; 9Y-9Z; 9Z; A2; "
    "A3; A4; A5; A6; A7; A8; A9; AA-AL; AH0; AH1; AH2; AH3; AH4; AH5; AH5K; AH6-7; AH7K; "
    "AH8; AH9; AL; AM-AO; AP-AS; AT-AW; AX; AY-AZ; B; BS7; BV; BV9P; C2; C3; C4; C5; C6; "
    "C8-C9; CA-CE; CE0A; CE0X; CE0Z; CE9A; CF-CK; CL-CM; CN; CO; CP; CQ-CT; CT3; CU; CV-CX; "
    "CY0; CY9; CY-CZ; D2-D3; D4; D5; D6; D7-D9; DA-DR; DS-DT; DU-DZ; E2; E3; E4; E5; E5; E6; "
    "E7; EA6; EA8; EA9; EA-EH; EI-EJ; EK; EL; EM-EO; EP-EQ; ER; ES; ET; EU-EW; EX; EY; EZ; "
    "F; FG; FH; FJ; FK; FM; FO; FO; FO0; FO/A; FP; FR; FR/E; FR/G; FR/J; FR/T; FS; FT.W; "
    "FT.X; FT.Y; FT.Z; FW; FY; G; GC; GD; GH; GI; GJ; GM; GN; GP; GS; GT; GU; GW; GX; H2; "
    "H3; H4; H40; H6-7; H8-9; HA; HB; HB0; HC8; HC-HD; HE; HF; HG; HH; HI; HK0; HK0; HK0; "
    "HK0; HJ-HK; HL; HM; HN; HO-HP; HR6; HQ-HR; HS; HT; HV; HW; HZ; I; IM-IS; IT; J2; J3; "
    "J4; J5; J6; J7; J8; JA-JS; JD1; JD1; JR6; JT-JV; JW; JX; JY; JZ; K; K2; K4; K4; K5; K6; "
    "K7; K9; KC4; KC6; KC6; KG1; KG4; KH0; KH1; KH2; KH3; KH4; KH5; KH5K; KH6-7; KH7K; KH8; "
    "KH9; KP1; KP2; KP3-4; KP5; L2-9; LA-LN; LO-LW; LX; LY; LZ; M; N; NH0; NH1; NH2; NH3; "
    "NH4; NH5; NH5K; NH6-7; NH7K; NH8; NH9; NP1; NP2; NP3-4; NP5; OA-OC; OD; OE; OF-OJ; OH0; "
    "OH-OI; OJ0; OK-OL; OM; ON-OT; OR4; OU-OW; OX; OY; OZ; P2; P3; P4; P5; PA-PI; PJ; "
    "PJ2,4,9; PJ5-PJ8; PK-PO; PP-PY; PY0F; PY0S; PY0T; PZ; R1FJ; R1MV; RA-RZ; S0; S2; S5; "
    "S6; S7; S8; S9; SA-SM; SN-SR; ST; ST0; SU; SV5; SV9; SV-SZ; SY; T2; T30; T31; T32; T33; "
    "T4; T5; T6; T7; T8; T9; TA-TC; TD; TE; TF; TG; TI; TI9; TJ; TK; TL; TM; TN; TO; TR; TS; "
    "TT; TU; TV; TY; TZ; UA0; UA0; UA0; UA0F; UA1; UA2; UA9; UA9; UA-UI; UJ-UM; UN-UQ; "
    "UR-UZ; V2; V3; V4; V5; V6; V7; V8; VA-VG; VE1; VE2; VE3; VE4; VE5; VE6; VE7; VE8; VE9; "
    "VH-VN; VK0; VK0; VK0; VK1; VK2; VK3; VK4; VK5; VK6; VK7; VK8; VK9C; VK9L; VK9M; VK9N; "
    "VK9W; VK9X; VO; VO1; VO2; VP2E; VP2M; VP2V; VP5; VP6; VP8; VP8; VP8; VP8; VP8; VP9; "
    "VQ9; VR; VT-VU; VT-VU; VU4; VU4; VU7; VW; VX-VY; VY1; VY2; W; WH0; WH1; WH2; WH3; WH4; "
    "WH5; WH5K; WH6-7; WH7K; WH8; WH9; WP1; WP2; WP3-4; WP7; XA-XI; XF4; XJ-XO; XP; XQ; XS; "
    "XT; XU; XV; XW; XX; XY-XZ; Y2-9; YA; YB-YH; YI; YJ; YK; YL; YM; YN; YO-YR; YS; YT-YU; "
    "YV0; YV-YY; Z2; Z3; ZA; ZB; ZC; ZD7; ZD8; ZD9; ZF; ZK; ZK2; ZK3; ZL-ZM; ZL7; ZL8; ZL9; "
    "ZP; ZR-ZS; ZS2M; ZS7; ZS8; ZT-ZU";

// The 11-metre rows by number and country text.
const char* const CbCountries =
    "1 Italia (Eu); 2 U.S.A. (NAm); 3 Brasil (SAm); 4 Argentina (SAm); 5 Venezuela (SAm); "
    "6 Colombia (SAm); 7 Netherland Antilles (SAm) deleted; 8 Peru (SAm); "
    "9 Canada ONTARIO (NAm); 10 Mexico (NAm); 11 Puerto Rico (NAm); 12 Uruguay (SAm); "
    "13 Germany (Eu); 14 France (Eu); 15 Switzerland (Eu); 16 Belgium (Eu); 17 Hawaii (Oc); "
    "18 Greece (Eu); 19 Holland (Eu); 20 Norway (Eu); 21 Sweden (Eu); 22 Fr. Guyana (SAm); "
    "23 Jamaica (NAm); 24 Panama (NAm); 25 Japan (As); 26 England (Eu); 27 Iceland (Eu); "
    "28 Honduras (NAm); 29 Irland (Eu); 30 Espana (Eu); 31 Portugal (Eu); 32 Chile (SAm); "
    "33 Alaska (NAm); 34 Canary Is (Af); 35 Austria (Eu); 36 San Marino (Eu); "
    "37 Dominican Republic (NAm); 38 Greenland (NAm); 39 Angola (Af); 40 Liechtenstein (Eu); "
    "41 New Zealand (Oc); 42 Liberia (Af); 43 Australia (Oc); 44 South Africa (Af); "
    "45 Yougoslavia (Eu); 46 East-Germany (Eu) deleted; 47 Denmark (Eu); "
    "48 Saudi Arabia (As); 49 Balearic Is (Eu); 50 Russia (Eu+As); 51 Andorra (Eu); "
    "52 Faroer Is (Eu); 53 Salvador (NAm); 54 Luxembourg (Eu); 55 Gibraltar (Eu); "
    "56 Finland (Eu); 57 India (As); 58 East Malaysia (As); 59 Dodecanese (Eu); "
    "60 Hong Kong (As); 61 Ecuador (SAm); 62 Guam & Mariana Is(Oc); 63 St Helen Is (Af); "
    "64 Senegal (Af); 65 Sierra L'one (Af); 66 Mauritania (Af); 67 Paraguay (SAm); "
    "68 North. Irland (Eu); 69 Costa Rica (NAm); 70 Samoa US (Oc); 71 Midway (Oc); "
    "72 Guatemala (NAm); 73 Surinam (SAm); 74 Namibia (Af); 75 Azores Is (Eu); "
    "76 Morocco (Af); 77 Ghana (Af); 78 Zambia (Af); 79 Philippines (Oc); 80 Bolivia (SAm); "
    "81 St Andres & Providence(NAm); 82 Guantanamo Bay (NAm); 83 Tanzania (Af); "
    "84 Ivory Coast (Af); 85 Zimbabwe (Af); 86 Nepal (As); 87 North Yemen (As) deleted; "
    "88 Cuba (NAm); 89 Nigeria (Af); 90 Crete - Kriti (Eu); 91 Indonesia (Oc); "
    "92 Libya (Af); 93 Malta (Eu); 94 United Arabian Emirates (As); 95 Mongolia (As); "
    "96 Tonga (Oc); 97 Israel (As); 98 Singapore (As); 99 Fiji (Oc); 100 South Korea (As); "
    "101 New Guinea Papua (Oc); 102 Kuwait (As); 103 Haiti (NAm); 104 Corsica (Eu); "
    "105 Botswana (Af); 106 Ceuta & Melilla (Af); 107 Monaco (Eu); 108 Scotland (Eu); "
    "109 Hungary (Eu); 110 Cyprus (As); 111 Jordan (As); 112 Lebanon (As); "
    "113 West Malaysia (As); 114 Pakistan (As); 115 Qatar (As); 116 Turkey (As); "
    "117 Egypt (Af); 118 Gambia (Af); 119 Madeira Is (Af); 120 Antigua-Barbuda (NAm); "
    "121 Bahamas (NAm); 122 Barbados (NAm); 123 Bermuda (NAm); 124 Amsterdam & St Paul (Af); "
    "125 Cayman (NAm); 126 Nicaragua (NAm); 127 Virgin Is (NAm); "
    "128 British Virgin Is (NAm); 129 Macquarie (Oc); 130 Norfolk & Philip (Oc); "
    "131 Guyana (SA); 132 Marshall Is (Oc); 133 North. Mariannes (Oc); "
    "134 Palau & Belau (Oc); 135 Salomon Is(Oc); 136 Martinique (NAm); 137 Man Island (Eu); "
    "138 Vatican (Eu); 139 South Yemen (As) deleted; 140 Antartica; "
    "141 St Pierre & Miquelon (NAm); 142 Lesotho (Af); 143 Ste Lucie (Na); "
    "144 Easter - Pascua Is(SAm); 145 Galapagos (SAm); 146 Algeria (Af); 147 Tunisia (Af); "
    "148 Ascension (Af); 149 Laccadive (As); 150 Bahrain (As); 151 Iraq (As); "
    "152 Maldives (As); 153 Thailand (As); 154 Iran (As); 155 Taiwan (As); "
    "156 Cameroon (Af); 157 Montserrat (NAm); 158 Trinidad & Tobago (SAm); 159 Somalia (Af); "
    "160 Sudan (Af); 161 Poland (Eu); 162 Zaire (Af); 163 Wales (Eu); 164 Togo (Af); "
    "165 Sardegna (Eu); 166 St Marteen-Saba-St Eus(NAm) deleted; 167 Jersey (Eu); "
    "168 Mauritius (Af); 169 Guernesey (Eu); 170 Burkina Faso(Af); 171 Svalbard (Eu); "
    "172 New Caledonia (Oc); 173 Reunion Is (Af); 174 Uganda (Af); 175 Tchad (Af); "
    "176 Central Africa Rep (Af); 177 Sri Lanka (As); 178 Bulgaria (Eu); "
    "179 Czechoslovakia (Eu) deleted; 180 Oman (As); 181 Syria (As); 182 Guinea (Af); "
    "183 Benin (Af); 184 Burundi (Af); 185 Comoros (Af); 186 Djibouti (Af); 187 Kenya (Af); "
    "188 Malagasy (Af); 189 Mayotte (Af); 190 Seychelles (Af); 191 Swaziland (Af); "
    "192 Cocos (NAm); 193 Cocos-Keeling (Oc); 194 Dominica Island (NAm); 195 Grenada (NAm); "
    "196 Guadeloupe (NAm); 197 Vanuatu (New Hebrides) (Oc); 198 Falkland (SAm); "
    "199 Equatorial Guinea (Af); 200 South Shetland Is (SAm); 201 Fr. Polynesia (Oc); "
    "202 Bhutan (As); 203 China (As); 204 Mozambique (Af); 205 Cape Verde (Af); "
    "206 Ethiopia (Af); 207 St Martin (NAm); 208 Glorieuses (Af); 209 Juan de Nova (Af); "
    "210 Wallis & Futuna (Oc); 211 Jan Mayen (Eu); 212 Aaland (Eu); 213 Market Reef (Eu); "
    "214 Congo (Af); 215 Gabon (Af); 216 Mali (Af); 217 Christmas (Oc); 218 Belize (NAm); "
    "219 Anguilla (NAm); 220 St Vincent & Grenadines(NAm); 221 Sth. Orkney (SAm); "
    "222 Sth. Sandwich (SAm); 223 Western Samoa (Oc); 224 West Kiribati (Oc); "
    "225 Brunei (Oc); 226 Malawi (Af); 227 Rwanda (Af); 228 Chagos (Af); "
    "229 Heard & Mc Donald (Af); 230 Macronesia (Oc); 231 St Peter & St Paul (SAm); "
    "232 Aruba; 233 Romania (Eu); 234 Afghanistan (As); 235 ITU Geneva (Eu); "
    "236 Bangladesh (As); 237 Birmania-Myanmar (As); 238 Cambodia-Kampuchea (As); "
    "239 Laos (As); 240 Macao (As); 241 Spratley (As); 242 Vietnam (As); 243 Agalega (Af); "
    "244 Annobon & Pagalu (Af); 245 Niger (Af); 246 Sao Tome & Principe (Af); "
    "247 Navassa (NAm); 248 Turks & Caicos (NAm); 249 North. Cook (Oc); "
    "250 South. Cook (Oc); 251 Albania (Eu); 252 Revilla Gigedo (NAm); 253 Andaman (As); "
    "254 Mt Athos (Eu); 255 Kerguelen (Af); 256 Canada PRINCE EDWARD (NAm); "
    "257 Rodrigues (Af); 258 Tristan da Cunha & Gough(Af); 259 Tromelin (Af); "
    "260 Baker-Howland-Phoenix(Oc); 261 Chatham (Oc); 262 Johnston (Oc); "
    "263 Kermadec & Raoul (Oc); 264 Kingman Reef (Oc); 265 Kiribati Phoenix (Oc); "
    "266 Kiribati East (Oc); 267 Kure (Oc); 268 Lord Howe (Oc); 269 Mellish Reef (Oc); "
    "270 Minami Torishima (Oc); 271 Nauru (Oc); 272 Niue (Oc); 273 Palmyra-Jarvis (Oc); "
    "274 Pitcairn (Oc); 275 Tokelau (Oc); 276 Tuvalu (Oc); 277 Sable (NAm); "
    "278 Wake-Wilkes-Peale Is(Oc); 279 Willis (Oc); 280 Aves (NAm); 281 Ogasawara (As); "
    "282 Auckland-Campbell (Oc); 283 St Kitts-Nevis (NAm); 284 St Paul (NAm); "
    "285 Fernando de Noronha (SAm); 286 Juan Fernandez (SAm); 287 Malpelo (SAm); "
    "288 San Felix (SAm); 289 Sth. Georgia (SAm); 290 Trinidade & Martim Vaz(SAm); "
    "291 Dhekelia & Akrotiri Cyprus (As); 292 Abu Ail Island (As) deleted; "
    "293 Guinea-Bissau (Af); 294 Peter 1st Is (SAm); 295 South Sudan (Af) deleted; "
    "296 Clipperton (NAm); 297 Bouvet (Af); 298 Crozet (Af); 299 Desecheo Is (NAm); "
    "300 W. Sahara (Af); 301 Armenia (As); 302 Asiatic Russia (As); 303 Azerbaidjan (As); "
    "304 Estonia (Eu); 305 Franz Josef land(Eu); 306 Georgia (As); 307 Kaliningrad (Eu); "
    "308 Kazakhstan (As); 309 Kirghizstan (As); 310 Latvia (Eu); 311 Lithuania (Eu); "
    "312 Moldavia (Eu); 313 Tadzhikstan (As); 314 Turkmenistan (As); 315 Ukrainia (Eu); "
    "316 Uzbekistan (As); 317 Belarus (Eu); 318 S.M.O.M (Eu); 319 UN Headquaters (NAm); "
    "320 Ocean Banaba Is(Oc); 321 Conway reef (Oc); 322 Walvis Bay (Af); 323 Yemen (As); "
    "324 Penguin Is (Oc) deleted; 325 Rotuma Is (Oc); 326 Malij Vysotskij Is (Eu); "
    "327 Slovenia (Eu); 328 Croatia (Eu); 329 Czech Rep. (Eu); 330 Slovaquia (Eu); "
    "331 Bosnia (Eu); 332 Macedonia (Eu); 333 Eritrea (Af); 334 North. korea (As); "
    "335 Scarborough Reff (As); 336 Pratas Is (As); 337 Temotu Is (Oc); "
    "338 Marquesas Is (Oc); 339 Austral Is (Oc); 340 Palestine (As); 341 East Timor (As); "
    "342 Chesterfield Is (Oc); 343 Ducie Is (Oc); 344 Montenegro (Eu); 345 Swains Is (Oc); "
    "346 St Barthelemy (Na); 347 Curaçao (SA); 348 St Maarten (SA); "
    "349 Saba St-Eustatius (SA); 350 Bonaire (SA); 351 South Sudan (AF)";

std::vector<std::string> SplitAt(const std::string& text, const std::string& sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const auto pos = text.find(sep, start);
        out.push_back(text.substr(start, pos - start));
        if (pos == std::string::npos) break;
        start = pos + sep.size();
    }
    return out;
}

std::vector<std::string> Fields(const std::string& row) {
    return SplitAt(row, "\t");
}

std::string T(std::string s) {
    for (char& c : s) {
        if (c == '|') c = '\t';
    }
    return s;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The continent tag: the last parenthesised group of the country text, when
// the text ends in it (or in it and the word "deleted").
std::string TagOf(const std::string& country) {
    static const std::regex tag(R"(\(([^()]*)\)( deleted)?$)");
    std::smatch m;
    return std::regex_search(country, m, tag) ? m[1].str() : "none";
}

const std::regex LatForm(R"(^(\d{1,2}|\d{1,2},\d{1,2})[NS]$)");
const std::regex LonForm(R"(^(\d{1,3}|\d{1,3},\d{1,2})[EW]$)");
const std::regex TimeForm(R"(^UTC[+-]\d{1,2}(h\d{2})?(/[+-]\d{1,2})?\*?$)");

double Magnitude(const std::string& field) {
    std::string s = field.substr(0, field.size() - 1);
    for (char& c : s) {
        if (c == ',') c = '.';
    }
    return std::stod(s);
}

// A display row as the stored row of the editors: letters in fields of their own.
std::string AsStoredRow(const std::vector<std::string>& f) {
    std::string row = f[0] + "\t" + f[1] + "\t" + f[2].substr(0, f[2].size() - 1) + "\t" +
                      f[2].back() + "\t" + f[3].substr(0, f[3].size() - 1) + "\t" + f[3].back();
    if (f.size() > 4) row += "\t" + f[4];
    return row;
}

} // namespace

TEST(BuiltinHamList, HoldsExactlyTheKeysInOrder) {
    const auto keys = SplitAt(HamKeys, "; ");
    ASSERT_EQ(keys.size(), BuiltinHamRowCount);
    const auto& rows = BuiltinHamRows();
    ASSERT_EQ(rows.size(), BuiltinHamRowCount);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(Fields(rows[i])[0], keys[i]) << "row " << i + 1;
    EXPECT_EQ(Fields(rows.front())[0], "1A");
    EXPECT_EQ(Fields(rows.back())[0], "ZT-ZU");
}

TEST(BuiltinCbList, HoldsExactlyTheNumbersAndCountries) {
    const auto items = SplitAt(CbCountries, "; ");
    ASSERT_EQ(items.size(), BuiltinCbRowCount);
    const auto& rows = BuiltinCbRows();
    ASSERT_EQ(rows.size(), BuiltinCbRowCount);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto f = Fields(rows[i]);
        const std::string expected = std::to_string(i + 1) + " " + f[1];
        EXPECT_EQ(f[0], std::to_string(i + 1));
        EXPECT_EQ(items[i], expected) << "row " << i + 1;
        EXPECT_EQ(f.size(), i + 1 == 292 ? 2u : 4u) << "row " << i + 1;
    }
}

TEST(BuiltinHamList, TellingRowsAreExact) {
    const std::vector<std::string> telling = {
        T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*"),
        T("3DA-3DM|Swaziland (Af)|26,5S|31,5E|UTC+2"),
        T("4M|Venezuela (SAm)|8N|66W|UTC-4h30"),
        T("4O|Montenegro (EU)|42,78N|19,47E|UTC+1*"),
        T("4U|ITU Geneva (Eu)|46,25N|6,17E|UTC+1*"),
        T("4U|UN Headquaters (NAm)|40,7N|73,8W|UTC-5*"),
        T("8J|Antartica @Japan|67S|112E|UTC+7"),
        T("9N|Nepal (As)|28N|84E|UTC+5h45"),
        T("AH6-7|Hawaï (Oc)|20N|157,75W|UTC-10"),
        T("CY9|St Paul (NAm)|47,25N|60,17W|UTC-4"),
        T("CY-CZ|Canada (NAm)|51N|85W|UTC-4/-8*"),
        T("FO/A|Austral Is(Oc)|23S|150W|UTC-10"),
        T("FT.Y|Adelie Land|67S|139E|UTC+9"),
        T("K|U.S.A. (NAm)|38N|97W|UTC-5/-8*"),
        T("PJ2,4,9|Bonaire & Curacao (NAm)|12,17N|68,25W|UTC-4"),
        T("RA-RZ|Russia (Eu+As)|56N|37E|UTC+3/+12"),
        T("VK9L|Lord Howe (Oc)|31,5S|159,08E|UTC+10h30*"),
        T("ZL7|Chatham (Oc)|43,92S|176,5W|UTC+12h45"),
        T("ZT-ZU|South Africa (Af)|30S|26E|UTC+2"),
    };
    const auto& rows = BuiltinHamRows();
    for (const auto& row : telling) {
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row;
    }
    EXPECT_EQ(rows.front(), telling.front());
    EXPECT_EQ(rows.back(), telling.back());
    // The two 4U rows stand in this order.
    const auto geneva = std::find(rows.begin(), rows.end(), telling[4]);
    ASSERT_NE(geneva, rows.end());
    EXPECT_EQ(*(geneva + 1), telling[5]);
}

TEST(BuiltinCbList, TellingRowsAreExact) {
    const auto& rows = BuiltinCbRows();
    EXPECT_EQ(rows[0], T("1|Italia (Eu)|42,83N|12,83E"));
    EXPECT_EQ(rows[6], T("7|Netherland Antilles (SAm) deleted|12,25N|69W"));
    EXPECT_EQ(rows[49], T("50|Russia (Eu+As)|56N|37E"));
    EXPECT_EQ(rows[139], T("140|Antartica|89S|0E"));
    EXPECT_EQ(rows[142], T("143|Ste Lucie (Na)|13,97N|60,97W"));
    EXPECT_EQ(rows[291], T("292|Abu Ail Island (As) deleted"));
    EXPECT_EQ(rows[336], T("337|Temotu Is (Oc)|10,75S|167,0E"));
    EXPECT_EQ(rows[346], T("347|Curaçao (SA)|12,2N|69W"));
    EXPECT_EQ(rows[350], T("351|South Sudan (AF)|4,85N|31,6E"));
}

TEST(BuiltinLists, EveryPositionAndTimeHasTheRightForm) {
    for (const auto* list : {&BuiltinHamRows(), &BuiltinCbRows()}) {
        const bool ham = list == &BuiltinHamRows();
        for (const auto& row : *list) {
            const auto f = Fields(row);
            if (!ham && f[0] == "292") continue;
            ASSERT_EQ(f.size(), ham ? 5u : 4u) << row;
            EXPECT_FALSE(f[0].empty()) << row;
            EXPECT_FALSE(f[1].empty()) << row;
            EXPECT_TRUE(std::regex_match(f[2], LatForm)) << row;
            EXPECT_TRUE(std::regex_match(f[3], LonForm)) << row;
            // Read as a number, each magnitude is a valid latitude or longitude.
            EXPECT_LE(Magnitude(f[2]), 90.0) << row;
            EXPECT_LE(Magnitude(f[3]), 180.0) << row;
            if (ham) {
                EXPECT_TRUE(std::regex_match(f[4], TimeForm)) << row;
            }
            // The editors' acceptance rules take every built-in row, whatever
            // the system decimal mark, and give back the same display row on
            // a comma system.
            for (char mark : {',', '.'}) {
                const auto fields =
                    AcceptStoredRow(AsStoredRow(f), ham ? ListKind::Ham : ListKind::CB, mark);
                ASSERT_TRUE(fields) << row;
                if (mark == ',') {
                    EXPECT_EQ(DisplayRow(*fields), row);
                }
            }
        }
    }
}

TEST(BuiltinLists, ContinentTagsAndTimeTexts) {
    // Reported, not fixed: the tags follow the data of the entities.
    std::map<std::string, int> ham, cb;
    int starred = 0;
    std::map<std::string, int> times;
    for (const auto& row : BuiltinHamRows()) {
        const auto f = Fields(row);
        ++ham[TagOf(f[1])];
        ++times[f[4]];
        starred += f[4].back() == '*';
    }
    for (const auto& row : BuiltinCbRows())
        ++cb[TagOf(Fields(row)[1])];
    for (const auto& [name, counts] : {std::pair{"ham", &ham}, std::pair{"11m", &cb}}) {
        std::cout << name << " continent tags:";
        for (const auto& [tag, n] : *counts)
            std::cout << ' ' << tag << '=' << n;
        std::cout << '\n';
    }
    std::cout << "ham time texts: " << times.size() << " distinct, " << starred
              << " rows with daylight saving\n";
    // Every tag is one of the known spellings.
    for (const auto* counts : {&ham, &cb}) {
        for (const auto& [tag, n] : *counts) {
            static const std::vector<std::string> known = {
                "Eu", "As", "Af", "NAm", "SAm", "Oc", "Eu+As", "EU", "AF", "SA", "Na", "none"};
            EXPECT_NE(std::find(known.begin(), known.end(), tag), known.end()) << tag;
        }
    }
    EXPECT_EQ(ham["Eu+As"], 2);
    EXPECT_EQ(cb["Eu+As"], 1);
}

TEST(BuiltinLists, EmbeddedTextIsTheDataFile) {
    EXPECT_EQ(BuiltinHamText(), ReadFile(KORVANTA_SOURCE_DIR "/dxlists/ham.tsv"));
    EXPECT_EQ(BuiltinCbText(), ReadFile(KORVANTA_SOURCE_DIR "/dxlists/cb.tsv"));
    // One row a line, every line ended by its newline, no empty rows.
    for (auto text : {BuiltinHamText(), BuiltinCbText()}) {
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find("\n\n"), std::string_view::npos);
        EXPECT_EQ(text.find('\r'), std::string_view::npos);
    }
}

TEST(SplitListText, LinesAndEndings) {
    EXPECT_TRUE(SplitListText("").empty());
    EXPECT_EQ(SplitListText("a\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitListText("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitListText("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitListText("\n"), (std::vector<std::string>{""}));
}

TEST(BuiltinLists, RowsAreSplitOnce) {
    EXPECT_EQ(&BuiltinHamRows(), &BuiltinHamRows());
    EXPECT_EQ(BuiltinHamRows().data(), BuiltinHamRows().data());
}
