#include "link/discovery.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "base/errors.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "link/info_reply.h"

namespace {

enum class Probe { Absent, BootOnly, Found };

// On Linux a serial port belongs to the group dialout, and the system refuses
// it to a user outside that group: a fault of the set-up the operator can mend.
bool deniedToTheUser(const PortError& error) {
#ifdef __linux__
    return error.code() == EACCES;
#else
    (void)error;
    return false;
#endif
}

// Opens the port the link is set to; a port the user may not open is noted
// before the error goes on to the caller.
void openNotingDenial(ProgrammerLink& link, std::vector<std::string>& denied) {
    try {
        link.open();
    } catch (const PortError& error) {
        if (deniedToTheUser(error) &&
            std::find(denied.begin(), denied.end(), link.portName()) == denied.end()) {
            denied.push_back(link.portName());
        }
        throw;
    }
}

// Probes the port the link is set to; errors reach the caller.
Probe probe(ProgrammerLink& link, Report& report, std::int32_t& firmwareVersion,
            std::string& serialNumber, std::vector<std::string>& denied) {
    openNotingDenial(link, denied);
    link.ResetPulse();
    const InfoReply boot = parseInfoReply(link.info());
    if (!(boot.isTelvarn && boot.bootMode && boot.hasId)) {
        link.close();
        return Probe::Absent;
    }
    serialNumber = boot.serialNumber;
    report.line("Найдено устройство Telvarn-1, порт : " + link.portName());
    // A faulty or foreign device may send any bytes here.
    report.line("Серийный номер программатора : " + displayableText(boot.serialNumber));
    report.line("Версия загрузчика программатора : " + displayableText(boot.version));
    link.runapp();
    link.sleep(500);
    const InfoReply application = parseInfoReply(link.info());
    if (application.isTelvarn && application.applicationMode) {
        firmwareVersion = parseFirmwareVersion(application.version);
        report.line("Версия программы программатора : " + decimal(firmwareVersion));
        return Probe::Found;
    }
    report.line("Версия программы программатора не определена, требуется обновление");
    firmwareVersion = -2;
    return Probe::BootOnly;
}

// The port list with firstPort moved to its front, when it is there.
std::vector<std::string> firstPortFirst(std::vector<std::string> names,
                                        const std::string& firstPort) {
    const auto first = std::find(names.begin(), names.end(), firstPort);
    if (first != names.end()) std::rotate(names.begin(), first, first + 1);
    return names;
}

}  // namespace

DiscoveryResult runDiscovery(ProgrammerLink& link, Report& report, std::int32_t& firmwareVersion,
                             const std::string& firstPort) {
    DiscoveryResult result;
    try {
        link.close();
    } catch (const std::exception&) {
    }
    const std::vector<std::string> names = firstPortFirst(link.refreshPortList(), firstPort);
    std::vector<std::string> denied;
    for (const std::string& name : names) {
        // Switching away from a port left open is outside the per-port catch.
        link.setPortName(name);
        try {
            result.found =
                probe(link, report, firmwareVersion, result.serialNumber, denied) == Probe::Found;
        } catch (const std::exception&) {
            // A port that cannot be opened or fails mid-probe is skipped as it is.
        }
        if (result.found) break;
    }
    if (!result.found) report.line("Программатор Telvarn-1 не найден");
    // Last, so that the usual lines read as before, and once per port.
    for (const std::string& name : denied) {
        report.line("Нет доступа к порту " + name + ": добавьте пользователя в группу dialout");
    }
    return result;
}
