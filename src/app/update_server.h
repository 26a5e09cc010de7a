#pragma once

// The update server that publishes the version files and downloads. Change it here only.
inline constexpr const char* kUpdateServerBase = "http://update.telvarn.local:8080";
inline constexpr const char* kFirmwareDownloadPath = "/products/Telvarn/Telvarn-1_APPL.cbin";
