#include "update/firmware_update.h"

FirmwareUpdate::FirmwareUpdate(FirmwareUpdateContext context) : c_(std::move(context)) {}

void FirmwareUpdate::TimerProgTimer() {}
