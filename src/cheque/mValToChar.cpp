#include "cheque/mValToChar.h"

#include <array>
#include <cstring>

namespace mValToChar {

namespace {

// Entry 0 only marks a units digit of zero; it never reaches a result, so every
// word that does is plain ASCII and the text is built in a byte buffer.
const char *const kUnits[20] = {"z\xc3\xa9ro", "un",     "deux",  "trois",    "quatre",   "cinq",    "six",
                                "sept",        "huit",   "neuf",  "dix",      "onze",     "douze",   "treize",
                                "quatorze",    "quinze", "seize", "dix-sept", "dix-huit", "dix-neuf"};
const char *const kDecades[6] = {"vingt", "trente", "quarante", "cinquante", "soixante", "quatre-vingt"};

// Longest result ("deux milliards cent soixante dix-sept millions ...") stays far below this.
constexpr int kCapacity = 256;

struct Words {
    char text[kCapacity];
    int size = 0;

    void append(const char *s)
    {
        const int n = int(std::strlen(s));
        std::memcpy(text + size, s, size_t(n));
        size += n;
    }
    // Appends a word, with one space before it unless the text is empty.
    void word(const char *s)
    {
        if (size > 0)
            text[size++] = ' ';
        append(s);
    }
    QString toString() const { return QString::fromLatin1(text, size); }
};

void tens(Words &w, int n)
{
    if (n <= 0)
        return;
    if (n < 20) {
        w.word(kUnits[n]);
    } else if (n < 60) {
        const int u = n % 10;
        w.word(kDecades[n / 10 - 2]);
        if (u == 1)
            w.append(" et un");
        else if (u != 0)
            w.word(kUnits[u]);
    } else if (n < 80) {
        const int u = n - 60;
        w.word("soixante");
        if (u == 1 || u == 11) {
            w.append(" et ");
            w.append(kUnits[u]);
        } else if (u != 0) {
            w.word(kUnits[u]);
        }
    } else {
        const int u = n - 80;
        if (u == 0) {
            w.word("quatre-vingts");
        } else {
            w.word("quatre-vingt-");
            w.append(kUnits[u]);
        }
    }
}

// `plural`: whether a round number of hundreds takes its "s" ("deux cents"); it does
// not before "mille" and "million".
void hundreds(Words &w, int n, bool plural)
{
    if (n <= 0)
        return;
    const int h = n / 100;
    const int r = n % 100;
    if (h == 1) {
        w.word("cent");
    } else if (h > 1) {
        w.word(kUnits[h]);
        w.word(plural && r == 0 ? "cents" : "cent");
    }
    tens(w, r);
}

} // namespace

QString UnitsToChar(qint32 n)
{
    if (n < 0 || n > 19)
        return QString();
    return QString::fromUtf8(kUnits[n]);
}

QString TensToChar(qint32 n)
{
    if (n > 99)
        return QString();
    Words w;
    tens(w, n);
    return w.toString();
}

QString HundredsToChar(qint32 n)
{
    if (n > 999)
        return QString();
    Words w;
    hundreds(w, n, true);
    return w.toString();
}

QString ValToChar(qint32 n)
{
    if (n <= 0)
        return QString();
    // A cheque needs two calls, but lists and tests make many: the groups come from
    // a table of the thousand hundreds, copied straight into the result.
    struct Group {
        char16_t text[40];
        int size;
    };
    static const std::array<Group, 1000> table = [] {
        std::array<Group, 1000> t{};
        for (int i = 0; i < 1000; ++i) {
            Words w;
            hundreds(w, i, true);
            for (int k = 0; k < w.size; ++k)
                t[size_t(i)].text[k] = char16_t(w.text[k]);
            t[size_t(i)].size = w.size;
        }
        return t;
    }();

    char16_t out[kCapacity];
    int size = 0;
    auto put = [&](const char16_t *s, int len) {
        if (size > 0)
            out[size++] = u' ';
        std::memcpy(out + size, s, sizeof(char16_t) * size_t(len));
        size += len;
    };
    // Before "mille" and "million" a round number of hundreds drops its "s".
    auto putGroup = [&](int g, bool plural) {
        const Group &group = table[size_t(g)];
        const bool dropS = !plural && g >= 200 && g % 100 == 0;
        put(group.text, group.size - (dropS ? 1 : 0));
    };

    if (n >= 1000000000) {
        const int m = n / 1000000000;
        putGroup(m, true);
        if (m == 1)
            put(u"milliard", 8);
        else
            put(u"milliards", 9);
        n %= 1000000000;
    }
    if (n >= 1000000) {
        const int m = n / 1000000;
        putGroup(m, false);
        if (m == 1)
            put(u"million", 7);
        else
            put(u"millions", 8);
        n %= 1000000;
    }
    if (n >= 1000) {
        const int m = n / 1000;
        if (m != 1)
            putGroup(m, false);
        put(u"mille", 5);
        n %= 1000;
    }
    if (n > 0)
        putGroup(n, true);
    return QString(reinterpret_cast<const QChar *>(out), size);
}

} // namespace mValToChar
