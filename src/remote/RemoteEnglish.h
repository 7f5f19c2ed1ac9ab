#pragma once

#include <QString>

// Remote clients read every error and event text in English, 7-bit ASCII, as
// SCPI string responses are defined, whatever language the window speaks.
// The texts keep one source: inside a Scope the texts a client reads come
// from the program's English translation.
namespace RemoteEnglish {

// Puts, once, a translator ahead of every other that answers from the
// English translation file at path inside a Scope and steps aside outside
// one. False if the file cannot be loaded.
bool install(const QString &path);
bool isInstalled();
// Whether a Scope is open on this thread: a remote command runs.
bool inCommand();

// Texts made on this thread while it lives are English. The command tree
// opens one for every remote command it runs.
class Scope
{
public:
    Scope();
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};

} // namespace RemoteEnglish
