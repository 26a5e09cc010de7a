#pragma once

#include <string>
#include <vector>

#include "link/serial_port.h"

// The COM ports the system lists under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in the order found
// there: the link sorts them itself. A system without that key has no serial port.
class Win32PortEnumerator : public PortEnumerator {
  public:
    std::vector<std::string> listPorts() override;
};
