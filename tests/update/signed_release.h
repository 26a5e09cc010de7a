#pragma once

#include <string>

// Made by make_signed_release.sh beside this file; each signature file ends
// with a line feed, which the raw strings below leave out.
namespace signed_release {

inline const std::string kKeyFile = R"(untrusted comment: minisign public key 2AA85B9C153F761A
RWQadj8VnFuoKjwtbdfH/dMe0oEn7JfGswkvX1+U8qKMFp99yVhgyQ03)";
inline const std::string kKey = "RWQadj8VnFuoKjwtbdfH/dMe0oEn7JfGswkvX1+U8qKMFp99yVhgyQ03";
inline const std::string kFileText = R"(Telvarn test release, line 1 of 12
Telvarn test release, line 2 of 12
Telvarn test release, line 3 of 12
Telvarn test release, line 4 of 12
Telvarn test release, line 5 of 12
Telvarn test release, line 6 of 12
Telvarn test release, line 7 of 12
Telvarn test release, line 8 of 12
Telvarn test release, line 9 of 12
Telvarn test release, line 10 of 12
Telvarn test release, line 11 of 12
Telvarn test release, line 12 of 12)";
inline const std::string kFile = kFileText + "\n";
// "Telvarn 15", "Telvarn-1_APPL 15", "Telvarn 14"; "Telvarn 15" by another key;
// "Telvarn 15" in the older form that signs the file's bytes unhashed.
inline const std::string kProgram15 = R"(untrusted comment: signature from minisign secret key
RUQadj8VnFuoKr+4KWjRZZl8xIrCYMjP7xpImiT6te4GXHeaq0JkfgZSQfbk4bnIaasggPhUcE4tendxou0FLAfsw6NP5VXMnAE=
trusted comment: Telvarn 15
ViV4hehR9ENHZP41QA00DW3tL1fr3+Uo7rTzCRO1rfe1ig3X1wNPqPRWRQz1KDnN9gTHFQ036SoZoHPhboyfBA==)";
inline const std::string kFirmware15 = R"(untrusted comment: signature from minisign secret key
RUQadj8VnFuoKr+4KWjRZZl8xIrCYMjP7xpImiT6te4GXHeaq0JkfgZSQfbk4bnIaasggPhUcE4tendxou0FLAfsw6NP5VXMnAE=
trusted comment: Telvarn-1_APPL 15
c+Sd5uG5UgczGwAC4hNpTM1rVcVfdD1Kh2iAFGYHI/Gp8Wr1xXusvrsKM7+eGT8hwrH3YfnTSi5IDUntDkVeBQ==)";
inline const std::string kProgram14 = R"(untrusted comment: signature from minisign secret key
RUQadj8VnFuoKr+4KWjRZZl8xIrCYMjP7xpImiT6te4GXHeaq0JkfgZSQfbk4bnIaasggPhUcE4tendxou0FLAfsw6NP5VXMnAE=
trusted comment: Telvarn 14
erLKPs15jw1qQU9IMY5MdOXzvYAoF0nJziQh5xhOwF/FY8lPnFSjauJhGswr6+Df2j9zMYiH1iaMU5p3WDBOAQ==)";
inline const std::string kOtherKey = R"(untrusted comment: signature from minisign secret key
RUTstLXREuuvmqJ0QYL8Evgz5Eu1zpEhsS0aGyF4VjIhdqrROVUaOTqHEMuKjCwOHikfGSwwXlyTox5GYp6+OsDmKdFDLWlCfA4=
trusted comment: Telvarn 15
8Hge+pC/aQNFQERdVjz8XFMd42QJDDinxZhVAn2554P5xBxqhfABcRYJR/MX0oWPNlsp1fhiNMM7Sy28hk9CCg==)";
inline const std::string kUnhashed = R"(untrusted comment: signature from minisign secret key
RWQadj8VnFuoKpihiDKqKG2aPS1HTQET0hnSqifeDdOSDNrdhQ92inmJzj5DCcadaeTdt+UWhaY8wDjZ//9GmXNXFORsWBIFGAE=
trusted comment: Telvarn 15
yAH24XwSF/SnIHpOWjdufs7RAan8BwRCeGwG216huRWt3gjbYts3vBuJbxVtRfNR8S7JVYu0lISKJDj+6c95AA==)";

}  // namespace signed_release
