#pragma once
// The sub-commands of the command-line host. Each takes the arguments after its own name and
// returns the process exit code; bad arguments print one line to stderr and return 2.

namespace qxhost {

int runInfoCommand(int argc, char** argv);
int runProcessCommand(int argc, char** argv);
int runPanelCommand(int argc, char** argv);
int runGuiCommand(int argc, char** argv);
int runDemoCommand(int argc, char** argv);

} // namespace qxhost
