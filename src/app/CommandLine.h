#pragma once
// The few options the program answers on the terminal, before any window opens.
// `arguments` are the program's, its name first; each function gives the exit code
// when the program should stop there.

#include <QStringList>
#include <QTextStream>
#include <optional>

// --help and --version, answered on `out`.
std::optional<int> answerInformationOptions(const QStringList &arguments, QTextStream &out);

// What Qt left once it took its window-system options (-platform, -display...):
// anything else is refused on `err` rather than ignored.
std::optional<int> refuseUnknownArguments(const QStringList &arguments, QTextStream &err);
