#include "cli/arguments.h"

#include <array>
#include <utility>

namespace {

struct CommandWord {
    const char* word;
    CliCommand command;
    bool takesFile;
};

constexpr std::array<CommandWord, 6> kCommands{{
    {"find", CliCommand::Find, false},
    {"load", CliCommand::Load, true},
    {"program", CliCommand::Program, true},
    {"burn", CliCommand::Burn, true},
    {"selftest", CliCommand::SelfTest, false},
    {"flash", CliCommand::Flash, true},
}};

const CommandWord* commandOf(const std::string& word) {
    for (const CommandWord& entry : kCommands) {
        if (word == entry.word) return &entry;
    }
    return nullptr;
}

bool chipCommand(CliCommand command) {
    return command == CliCommand::Program || command == CliCommand::Burn;
}

// Walks the words once; the first refusal found is the one reported.
class Parser {
  public:
    explicit Parser(const std::vector<std::string>& words) : words_(words) {}

    ParsedCommandLine run() {
        for (next_ = 0; next_ < words_.size() && error_.empty();) take(words_[next_++]);
        if (help_) return ParsedCommandLine{std::nullopt, true, ""};
        if (error_.empty()) checkWhole();
        if (!error_.empty()) return ParsedCommandLine{std::nullopt, false, error_};
        return ParsedCommandLine{std::move(arguments_), false, ""};
    }

  private:
    void take(const std::string& word) {
        if (word == "--help" || word == "-h") {
            help_ = true;
        } else if (word.size() > 2 && word.starts_with("--")) {
            option(word);
        } else {
            positional(word);
        }
    }

    void option(const std::string& word) {
        const auto equals = word.find('=');
        const std::string name = word.substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos) inlineValue = word.substr(equals + 1);
        if (bool* target = flagNamed(name)) {
            if (inlineValue) return refuse(name + " takes no value");
            return flag(*target, name);
        }
        if (!valuedOption(name)) return refuse("unknown option " + name);
        const auto value = inlineValue ? inlineValue : valueAfter(name);
        if (!value) return;
        if (name == "--port") {
            if (value->empty()) return refuse("--port needs a port name");
            arguments_.ports.push_back(*value);
        } else if (name == "--variant") {
            variant(*value);
        } else if (name == "--simulator") {
            simulator(*value);
        } else if (name == "--log") {
            once(arguments_.logFile, *value, name);
        } else if (name == "--journal") {
            once(arguments_.journalFile, *value, name);
        } else {
            once(arguments_.traceFile, *value, name);
        }
    }

    static bool valuedOption(const std::string& name) {
        return name == "--port" || name == "--variant" || name == "--simulator" ||
               name == "--log" || name == "--trace" || name == "--journal";
    }

    bool* flagNamed(const std::string& name) {
        if (name == "--repeat") return &arguments_.repeat;
        if (name == "--yes") return &arguments_.yes;
        if (name == "--json") return &arguments_.json;
        if (name == "--gang") return &arguments_.gang;
        return nullptr;
    }

    std::optional<std::string> valueAfter(const std::string& name) {
        if (next_ >= words_.size()) {
            refuse(name + " needs a value");
            return std::nullopt;
        }
        return words_[next_++];
    }

    void flag(bool& target, const std::string& name) {
        if (target) return refuse(name + " is given twice");
        target = true;
    }

    void once(std::optional<std::string>& target, const std::string& value,
              const std::string& name) {
        if (target) return refuse(name + " is given twice");
        if (value.empty()) return refuse(name + " needs a file name");
        target = value;
    }

    void variant(const std::string& value) {
        if (arguments_.variant) return refuse("--variant is given twice");
        if (value != "1" && value != "2") return refuse("--variant is 1 or 2, not " + value);
        arguments_.variant = value == "1" ? 1 : 2;
    }

    void simulator(const std::string& value) {
        if (!arguments_.simulators.empty()) return refuse("--simulator is given twice");
        const auto simulators = parseSimBehaviours(value);
        if (!simulators) {
            return refuse("unknown simulator behaviour " + value + "; use one of: " +
                          simBehaviourNames());
        }
        arguments_.simulators = *simulators;
    }

    void positional(const std::string& word) {
        if (!command_) {
            command_ = commandOf(word);
            if (!command_) return refuse("unknown command " + word);
            arguments_.command = command_->command;
        } else if (command_->takesFile && !fileGiven_) {
            if (word.empty()) return refuse("the file name is empty");
            arguments_.file = word;
            fileGiven_ = true;
        } else {
            refuse("unexpected argument " + word);
        }
    }

    void checkWhole() {
        if (!command_) return refuse("no command given");
        const CliCommand command = command_->command;
        const std::string name = command_->word;
        if (command_->takesFile && !fileGiven_) return refuse(name + " needs a file");
        if (arguments_.variant && !chipCommand(command)) {
            return refuse("--variant is for program and burn only");
        }
        if (arguments_.repeat && command != CliCommand::Program) {
            return refuse("--repeat is for program only");
        }
        if (arguments_.yes && command != CliCommand::Burn) return refuse("--yes is for burn only");
        if (arguments_.gang && !chipCommand(command) && command != CliCommand::SelfTest) {
            return refuse("--gang is for program, burn and selftest only");
        }
        // A chip cannot be unburnt: the question the window asks is answered here.
        if (command == CliCommand::Burn && !arguments_.yes) {
            return refuse("burn needs --yes: burning cannot be undone");
        }
    }

    void refuse(const std::string& reason) {
        if (error_.empty()) error_ = reason;
    }

    const std::vector<std::string>& words_;
    std::size_t next_ = 0;
    CliArguments arguments_;
    const CommandWord* command_ = nullptr;
    bool fileGiven_ = false;
    bool help_ = false;
    std::string error_;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& words) {
    return Parser(words).run();
}

std::string applyEnvironment(CliArguments& arguments, const EnvironmentLookup& lookup) {
    std::string error;
    const FrontEndEnvironment environment = readFrontEndEnvironment(lookup, error);
    if (arguments.simulators.empty()) {
        if (!error.empty()) return error;
        arguments.simulators = environment.simulators;
    }
    if (arguments.ports.empty()) arguments.environmentPorts = environment.ports;
    if (!arguments.logFile) arguments.logFile = environment.logFile;
    if (!arguments.traceFile) arguments.traceFile = environment.traceFile;
    if (!arguments.journalFile) arguments.journalFile = environment.journalFile;
    return "";
}

const char* commandName(CliCommand command) {
    for (const CommandWord& entry : kCommands) {
        if (entry.command == command) return entry.word;
    }
    return "";
}

std::string cliUsage() {
    return "usage: telvarn-cli COMMAND [OPTIONS]\n"
           "\n"
           "Commands:\n"
           "  find                     search the ports for the programmer\n"
           "                           exit 0 found, 3 not found\n"
           "  load FILE                read the data file as the window's loader does\n"
           "                           exit 0 no error line, 4 error lines or unreadable\n"
           "  program FILE [--variant 1|2] [--repeat]\n"
           "                           find, select the chip type, load FILE, then program\n"
           "                           (\"Прошить\"); --repeat waits for Enter before each\n"
           "                           chip until end of input and counts good and failed\n"
           "                           exit 0 all verified, 1 a chip failed, 3, 4 as above\n"
           "  burn FILE --yes [--variant 1|2]\n"
           "                           as program, but burns (\"Прожечь\"); --yes answers\n"
           "                           the window's \"Вы уверены?\"\n"
           "                           exit as program; 2 without --yes\n"
           "  selftest                 find, then the RAM check and the outputs check\n"
           "                           exit 0 all OK, 1 otherwise, 3 not found\n"
           "  flash FIRMWARE           find, then the firmware update through the\n"
           "                           bootloader; FIRMWARE itself is kept\n"
           "                           exit 0 done, 1 failed, 3 not found\n"
           "\n"
           "Options:\n"
           "  --variant 1|2            1 \"9912ЛК047_old\", 2 \"9912ЛК047\" (default: the type\n"
           "                           the window selects at start)\n"
           "  --port NAME              search only this port; repeatable\n"
           "                           (default: TELVARN_PORTS, else the system's ports)\n"
           "  --gang                   program, burn or selftest: every programmer found\n"
           "                           among the ports at once, each line prefixed with\n"
           "                           its [PORT], a summary for each, then the total;\n"
           "                           exit 0 all verified, 1 any failed, 3 none found\n"
           "  --simulator BEHAVIOUR[,BEHAVIOUR...]\n"
           "                           add simulated programmers, as TELVARN_SIMULATOR\n"
           "                           does: one is port SIM, several SIM1, SIM2, ...;\n"
           "                           each one of " +
           simBehaviourNames() +
           "\n"
           "  --log FILE               append every log line to FILE (as TELVARN_LOG)\n"
           "  --trace FILE             append every frame to FILE (as TELVARN_TRACE)\n"
           "  --journal FILE           append a CSV row for every chip, check and flash\n"
           "                           to FILE (as TELVARN_JOURNAL)\n"
           "  --json                   print the summary as one JSON object\n"
           "  -h, --help               print this help\n"
           "\n"
           "The log lines go to standard output as the window shows them, the progress\n"
           "to standard error when it is a terminal, and a one-line summary comes last.\n"
           "Bad arguments exit 2; Ctrl+C ends the operation as a port error would and\n"
           "exits 130.\n";
}
