#include "remote/RemoteEnglish.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <string_view>

namespace RemoteEnglish {

namespace {

thread_local int scopeDepth = 0;

// The texts a remote client reads: the instrument's failures, the record's
// rules, the settings file's and the sets' errors, why the window refuses
// now. Other texts made inside a command (a window redrawn on a change) stay
// in the window's language.
bool isRemoteContext(const char *context)
{
    constexpr std::array<std::string_view, 6> contexts = {"InstrumentTexts", "RecordRules", "IniFile", "ParameterSets",
                                                          "InstrumentSets", "WindowRemoteControl"};
    return std::find(contexts.begin(), contexts.end(), std::string_view(context)) != contexts.end();
}

class ScopedTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        // Empty hands the text on to the next translator: the window's own.
        if (scopeDepth == 0 || !context || !isRemoteContext(context))
            return {};
        return QTranslator::translate(context, sourceText, disambiguation, n);
    }

    bool isEmpty() const override { return false; }
};

QPointer<ScopedTranslator> installed;

} // namespace

bool install(const QString &path)
{
    if (installed)
        return true;
    auto *translator = new ScopedTranslator(QCoreApplication::instance());
    if (!translator->load(path) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

bool isInstalled()
{
    return installed != nullptr;
}

bool inCommand()
{
    return scopeDepth > 0;
}

Scope::Scope()
{
    ++scopeDepth;
}

Scope::~Scope()
{
    --scopeDepth;
}

} // namespace RemoteEnglish
