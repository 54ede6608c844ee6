#include "cheque/mValToChar.h"

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
    Words w;
    if (n >= 1000000000) {
        const int m = n / 1000000000;
        w.word(kUnits[m]);
        w.word(m == 1 ? "milliard" : "milliards");
        n %= 1000000000;
    }
    if (n >= 1000000) {
        const int m = n / 1000000;
        hundreds(w, m, false);
        w.word(m == 1 ? "million" : "millions");
        n %= 1000000;
    }
    if (n >= 1000) {
        const int m = n / 1000;
        if (m != 1)
            hundreds(w, m, false);
        w.word("mille");
        n %= 1000;
    }
    hundreds(w, n, true);
    return w.toString();
}

} // namespace mValToChar
