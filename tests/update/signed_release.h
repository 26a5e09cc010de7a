#pragma once

#include <string>

// Made by make_signed_release.sh beside this file; each signature file ends
// with a line feed, which the raw strings below leave out.
namespace signed_release {

inline const std::string kKeyFile = R"(untrusted comment: minisign public key AFBB9289A4322CE5
RWTlLDKkiZK7rxvXG2Jk8snIq91v917WLfwrgVnlratfHV3rhyTPQeqH)";
inline const std::string kKey = "RWTlLDKkiZK7rxvXG2Jk8snIq91v917WLfwrgVnlratfHV3rhyTPQeqH";
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
// "Telvarn 15 <system>-x86_64" and "Telvarn 14 <system>-x86_64" for each system;
// "Telvarn 15", bound to no system; "Telvarn-1_APPL 15"; "Telvarn 15 linux-x86_64"
// by another key, and in the older form that signs the file's bytes unhashed.
inline const std::string kProgram15Linux = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn 15 linux-x86_64
F2tITOnqyXN6QzkB9hf81lYGdlCBl3CJVt/CDLSfqg+aFL+O9EpGB5b6xuBpy8CkWBRghkA/28c4/L8ojMMcCA==)";
inline const std::string kProgram15Windows = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn 15 windows-x86_64
UMNPkU1uffgB2Gzf/GYlHwVcHKraD4GjbQ04/7lJ3dmfmJy9PjkXWx4dla9bfYk8GTTN1gWugbFMA6HzqeW3CA==)";
inline const std::string kProgram14Linux = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn 14 linux-x86_64
6SeKwL76HmyeWGQDu9HZ2f41+WgxvQlvpDPWdKohZG5fGqI9f1vNpvI+HEwJV+1RAp9qE7oi+hEPX3DOKJvLBw==)";
inline const std::string kProgram14Windows = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn 14 windows-x86_64
iiewwWH5fsJD1FuY5PTAFRFNoJ2WF1zXf+HDxp+wiu45rCKDvyuAeFawYyRz1CbOqSpiLnF6a7QkWVVnHLr3Aw==)";
inline const std::string kProgram15Unbound = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn 15
vPqQ17MytvR4BtlZKRdETzbFVpw0glBwp9hG9ZlunAewRhmlmJmlhQy1YOYrx9y1Ad4uySByprvsDZkx//E/AQ==)";
inline const std::string kFirmware15 = R"(untrusted comment: signature from minisign secret key
RUTlLDKkiZK7r8rR4jgIGf9gzwqbufM7fwTR5iV6ninCtiPTJIePKh7ALEdkybPpKn8JdN8PyG5SSk/XMSNTluKS2t1+GOg1lwg=
trusted comment: Telvarn-1_APPL 15
9kBA0xqET+wNaNzcsuHtTDjmU2IwLl1+ybhm31y9HfZdQJ/vnOJOe6oCN1tKDIQPpql/FvKm12IKILEm1Qh+Cw==)";
inline const std::string kOtherKey = R"(untrusted comment: signature from minisign secret key
RUTEF3V07RjgWqNlZrNUzQfyzVp2E3zXYoDToitIxkVsMYKWHpkDsWu+VnGiU7nfzBO1BFNvCwAzq5RFG8+ecW7o9nxEhWHJQgI=
trusted comment: Telvarn 15 linux-x86_64
EpLaz5D8il4DUb+C/cUdog6AE/nSikbHLy8FzpRJg3PaB/tQFCCHT0n2kKmaL5DwKikdIr9CsorbOLlrX/EbAw==)";
inline const std::string kUnhashed = R"(untrusted comment: signature from minisign secret key
RWTlLDKkiZK7rz7ZcaHxEA0A1wOH44W5y8SJnRHdkf7Fj3gMaU3+JAC7m5Moe2Et1gzG9TUwecxx4hoTThA4EO2VzH749a5DYgM=
trusted comment: Telvarn 15 linux-x86_64
M0/iAbmv7NVRyxoGdrCJLCYSwZUaEwLHD5SOHS9WDs77yP/GePau81tnxY7t3hQcou3RudOXqyqUAMT/l6uFAQ==)";

}  // namespace signed_release
