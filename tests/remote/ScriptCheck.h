#pragma once

#include "scpi/ScpiSession.h"

#include <QList>
#include <QTest>

// Table-driven remote tests: each row is a script of command lines, the
// answers it must give (one line each, joined) and the error codes left in
// the session's queue, oldest first.
using Errors = QList<int>;

inline void addScriptColumns()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<Errors>("errors");
}

// Runs the current row's script on session and compares; empties the queue.
inline void checkScript(ScpiSession &session)
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, answers);
    QFETCH(Errors, errors);

    QByteArray output;
    for (const QByteArray &line : script.split('\n'))
        output += session.execute(line);
    if (output.endsWith('\n'))
        output.chop(1);
    QCOMPARE(output, answers);

    Errors left;
    while (session.errorCount() > 0)
        left.append(session.takeError().code);
    QCOMPARE(left, errors);
}
