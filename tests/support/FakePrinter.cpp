#include "support/FakePrinter.h"

namespace platform {

void FakePrinter::record(const QString &member, const QString &value) const
{
    // The calls to let through are counted down first, then the calls to fail (-1: all of them).
    auto f = m_failures.find(member);
    const bool fail = f != m_failures.end() && f->second != 0 && f->first-- <= 0;
    if (fail && f->second > 0)
        --f->second;
    calls.push_back({member, value});
    if (fail)
        throw PrinterError(member + " refusé");
}

QStringList FakePrinter::printed() const
{
    QStringList out;
    for (const Printed &p : items)
        out << p.text;
    return out;
}

QStringList FakePrinter::log() const
{
    QStringList out;
    for (const Call &c : calls)
        if (!c.member.startsWith("Text"))
            out << (c.member + ' ' + c.value).trimmed();
    return out;
}

} // namespace platform
