#pragma once

#include "cli/gang.h"
#include "support/fake_serial_port.h"

// A gang programmer's thread on the given pump, with no system port at all:
// only its simulated programmer answers.
template <class Pump>
class FakeGangPlatform : public GangPlatform {
  public:
    MessagePump& pump() override { return pump_; }
    SerialPort& port() override { return port_; }

  private:
    Pump pump_;
    FakeSerialPort port_;
};
