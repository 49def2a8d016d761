#ifndef SYMCONV_CLI_TOOL_COMMANDS_H_
#define SYMCONV_CLI_TOOL_COMMANDS_H_

/// The commands besides the conversion, selected by the first argument.
/// Each takes the arguments after the command's name (argv[0] is the
/// command's name) and returns the exit status.
int RunInspectCommand(int argc, char** argv);
int RunRenderCommand(int argc, char** argv);
int RunSheetCommand(int argc, char** argv);

#endif  // SYMCONV_CLI_TOOL_COMMANDS_H_
