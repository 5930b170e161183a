// flipdeck-kit, the companion of flipdeck: its subcommands on one command
// line. Each subcommand is a module that registers its options on the
// command line and runs on a plain options struct; this layer only wires
// them.
#pragma once

/// The whole program: parses `argv`, runs the subcommand it names, and
/// returns the exit status: 0 for success, 1 for a job that failed, 2 for a
/// command line that cannot be read (after CLI11's message naming it).
int RunKit(int argc, const char* const* argv);
