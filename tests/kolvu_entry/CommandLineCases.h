// CommandLineCases.h -- command lines and the arguments the uninstaller must make of
// them; checked against the portable tokenizer and against ReadArguments.
#pragma once
#include <string>
#include <vector>

struct CommandLineCase {
    const char *line;
    std::vector<std::string> arguments;
};

inline const std::vector<CommandLineCase> &CommandLineCases()
{
    static const std::vector<CommandLineCase> cases = {
        {"C:\\App\\uninst.log /yes", {"C:\\App\\uninst.log", "/yes"}},
        {"\"C:\\Program Files\\App\\uninst.log\" /YES", {"C:\\Program Files\\App\\uninst.log", "/YES"}},
        {"C:\\Program Files\\App\\uninst.log", {"C:\\Program", "Files\\App\\uninst.log"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"a\"\"b", {"a\"\"b"}},
        {"ab\"c d\"e", {"ab\"c d\"e"}},
        {"\"", {"\""}},
        {"\"\"", {""}},
        {"\"\" x", {"", "x"}},
        {"\"a b", {"\"a b"}},
        {"a    b", {"a", "b"}},
        {"a b   ", {"a", "b"}},
        {" x", {"", "x"}},
        {"   x  y", {"", "x", "y"}},
        {"", {}},
        {"    ", {}},
        {"a\tb", {"a\tb"}},
        {"\"x \"\" y\" /yes", {"x \" y", "/yes"}},
        {"\"quoted\"tail", {"\"quoted\"tail"}},
    };
    return cases;
}
