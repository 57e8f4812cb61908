#pragma once
// What each drawkit verb takes, says of itself, and how its command line is checked before it runs:
// one table, so that `drawkit help VERB`, `drawkit VERB --help`, the usage errors and the exit
// codes cannot drift apart from verb to verb.
#include <string>
#include <vector>

struct VerbOption {
    const char* name;    // "--json"
    const char* value;   // "" for a flag; "FOLDER..." takes values up to the next option
    const char* what;
    int values = -1;     // how many values; -1: one if `value` is set, else none
};

struct Verb {
    enum Input { None, Drawing, Set, NewSet };
    const char* name;
    const char* synopsis;  // after "drawkit NAME "
    const char* summary;
    std::vector<VerbOption> options;
    const char* example;
    int minArgs = 0, maxArgs = -1;  // positional arguments; -1: any number
    Input input = None;             // what the first positional argument names
    const char* exitNote = "";      // what exit 1 means for this verb, when it is more than the table says
};

const std::vector<Verb>& drawkitVerbs();
const Verb* findVerb(const std::string& name);
// The verb a mistyped name most likely meant, or null when none is close.
const Verb* closestVerb(const std::string& name);

// The whole help of a verb: usage, options, an example and the exit codes.
std::string verbHelp(const Verb& v);
// Every verb on a line, with the exit codes.
std::string overallHelp();

// Checks the arguments after the verb against its table: options it has, their values, the number
// of positional arguments, and that the set or drawing it reads exists. On a fault prints it with
// the usage to standard error and returns the exit code (2); 0 when the verb may run.
int checkVerbArgs(const Verb& v, const std::vector<std::string>& args);
// Whether the arguments ask for the verb's help (-h or --help where an option may stand).
bool asksForHelp(const Verb& v, const std::vector<std::string>& args);
// A usage error from inside a verb: the fault, the verb's usage line, and exit code 2.
int usageError(const std::string& verb, const std::string& what);
