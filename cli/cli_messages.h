// What tembrel-cli tells its user: the help text and version on stdout, every
// message on stderr, prefixed with the program's name.
#pragma once

#include <string>

void PrintHelp();
void PrintVersion();
// "tembrel-cli: MESSAGE" and a line end, on stderr.
void ReportMessage(const std::string& message);
// A usage error, with a pointer to --help.
void ReportUsageError(const std::string& reason);
// Flushes stdout: 1 when everything printed reached it, else 0 after a message.
int FinishStandardOutput();
// A name as messages show it, in single quotes.
std::string Quoted(const std::string& name);
