// The process's standard streams, made safe before anything else is opened.
#pragma once

// Makes sure standard input, output and error are open (on /dev/null if need be): a closed one
// would lend its number to the next file opened (a port, a pipe), and messages would land there.
// A pipe whose reader has gone costs the output, not the run: SIGPIPE is ignored.
void GuardStandardStreams();
