// The option form of the command-line tools: "--name=value" or "--name value".
#pragma once

#include <optional>
#include <string>

namespace cli {

struct OptionArg {
    std::string name;                       // "--cty", or the argument itself
    std::optional<std::string> inlineValue; // what followed "=" in "--name=value"
};

// Splits "--name=value"; any other argument is its own name without a value.
inline OptionArg SplitOption(std::string arg) {
    OptionArg a;
    if (arg.rfind("--", 0) == 0) {
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            a.inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
    }
    a.name = std::move(arg);
    return a;
}

// The value of the option at argv[i]: its inline value, else the next
// argument (then i moves on to it); nothing when there is none.
inline std::optional<std::string> OptionValue(const OptionArg& a, int& i, int argc, char** argv) {
    if (a.inlineValue) return a.inlineValue;
    if (i + 1 >= argc) return std::nullopt;
    return std::string(argv[++i]);
}

} // namespace cli
