#include "platform/print/CupsPrinters.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLibrary>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <optional>
#include <unistd.h>

#include <cups/cups.h>
// The PPD interface is deprecated but it is the only place where CUPS keeps a
// queue's InputSlot keywords and its landscape rotation.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace platform {

namespace {

constexpr qint16 automaticBin = 7;
constexpr qint16 firstDriverBin = 256;
// A server that does not answer must not freeze the window for long.
constexpr int connectTimeoutMs = 3000;
constexpr double requestTimeoutSeconds = 15;
constexpr double mmPerPoint = 25.4 / 72;

// libcups is opened when the printers are first asked for instead of being linked:
// with the TLS, Kerberos and Avahi libraries it brings, it would add some twenty
// libraries to every start of the program.
// clang-format off
#define TOLVO_CUPS_FUNCTIONS(F)                                                                              \
    F(cupsAddOption) F(cupsEncryption) F(cupsFreeDests) F(cupsFreeOptions) F(cupsGetDests2) F(cupsGetOption) \
    F(cupsGetPPD3) F(cupsLastErrorString) F(cupsPrintFile2) F(cupsServer) F(httpClose) F(httpConnect2)       \
    F(httpSetTimeout) F(ippPort) F(ppdClose) F(ppdFindAttr) F(ppdFindOption) F(ppdFirstOption)               \
    F(ppdNextOption) F(ppdOpenFile) F(ppdPageSize)
// clang-format on

struct Cups {
#define TOLVO_DECLARE(name) decltype(&::name) name = nullptr;
    TOLVO_CUPS_FUNCTIONS(TOLVO_DECLARE)
#undef TOLVO_DECLARE
};

// Null when libcups is not installed (or lacks a function): there is no CUPS queue then.
const Cups *loadCups()
{
    static const std::optional<Cups> api = []() -> std::optional<Cups> {
        QLibrary library(QStringLiteral("cups"), 2); // stays loaded: QLibrary unloads only when asked
        if (!library.load())
            return std::nullopt;
        Cups c;
        bool complete = true;
#define TOLVO_RESOLVE(name)                                                                                  \
    c.name = reinterpret_cast<decltype(&::name)>(library.resolve(#name));                                    \
    complete = complete && c.name;
        TOLVO_CUPS_FUNCTIONS(TOLVO_RESOLVE)
#undef TOLVO_RESOLVE
        return complete ? std::optional<Cups>(c) : std::nullopt;
    }();
    return api ? &*api : nullptr;
}

const Cups &cups()
{
    if (const Cups *api = loadCups())
        return *api;
    throw PrinterError(QStringLiteral("La bibliothèque d'impression CUPS (libcups.so.2) est introuvable"));
}

struct HttpCloser {
    void operator()(http_t *http) const { cups().httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpCloser>;

// A connection to the server CUPS is set to use (CUPS_SERVER, client.conf, or the
// local scheduler); null when it does not answer.
Http connectToServer()
{
    Http http(cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                  cups().cupsEncryption(), 1, connectTimeoutMs, nullptr));
    if (http)
        cups().httpSetTimeout(http.get(), requestTimeoutSeconds, nullptr, nullptr);
    return http;
}

Http connectOrThrow()
{
    Http http = connectToServer();
    if (!http)
        throw PrinterError(QStringLiteral("Le serveur d'impression %1 ne répond pas")
                               .arg(QString::fromLocal8Bit(cups().cupsServer())));
    return http;
}

QueueDescription describePpd(ppd_file_t *ppd)
{
    QueueDescription d;
    if (ppd_option_t *inputSlot = cups().ppdFindOption(ppd, "InputSlot")) {
        for (int i = 0; i < inputSlot->num_choices; ++i)
            d.slotChoices << QString::fromUtf8(inputSlot->choices[i].choice);
        const QList<qint16> codes = paperBinCodes(d.slotChoices);
        for (int i = 0; i < inputSlot->num_choices; ++i) {
            QString name = QString::fromUtf8(inputSlot->choices[i].text);
            d.sources.append({codes[i], name.isEmpty() ? d.slotChoices[i] : name});
        }
        d.defaultSlot = QString::fromUtf8(inputSlot->defchoice);
    }

    // Drivers that shrink pages to fit do it through an option of their own ("FitToPage",
    // a maker's "BRFitToPage", "fitplot", "print-scaling"): its "off" choice is asked for.
    static const QStringList scalingOptions = {QStringLiteral("fittopage"), QStringLiteral("fitplot"),
                                               QStringLiteral("printscaling")};
    static const QStringList offChoices = {QStringLiteral("false"), QStringLiteral("off"),
                                           QStringLiteral("no"), QStringLiteral("none"), QStringLiteral("0")};
    for (ppd_option_t *option = cups().ppdFirstOption(ppd); option; option = cups().ppdNextOption(ppd)) {
        const QString keyword = QString::fromUtf8(option->keyword);
        const QString name = keyword.toLower().remove(QLatin1Char('-')).remove(QLatin1Char('_'));
        if (!std::any_of(scalingOptions.begin(), scalingOptions.end(),
                         [&](const QString &s) { return name.endsWith(s); }))
            continue;
        for (int i = 0; i < option->num_choices; ++i) {
            const QString choice = QString::fromUtf8(option->choices[i].choice);
            if (offChoices.contains(choice.toLower())) {
                d.noScaling.append({keyword, choice});
                break;
            }
        }
    }

    // Minus90 turns portrait clockwise into landscape: 270 degrees as the platform counts.
    ppd_attr_t *landscape = cups().ppdFindAttr(ppd, "LandscapeOrientation", nullptr);
    d.landscapeRotation = landscape && landscape->value && !strcmp(landscape->value, "Minus90") ? 270 : 90;

    // ImageableArea gives the corners of the printable area, in points from the lower left.
    if (ppd_size_t *a4 = cups().ppdPageSize(ppd, "A4")) {
        d.left = std::max(0.0, double(a4->left) * mmPerPoint);
        d.bottom = std::max(0.0, double(a4->bottom) * mmPerPoint);
        d.right = std::max(0.0, double(a4->width - a4->right) * mmPerPoint);
        d.top = std::max(0.0, double(a4->length - a4->top) * mmPerPoint);
    }
    return d;
}

// The InputSlot keyword of a code; empty when the queue has no such slot.
QString slotFor(const QueueDescription &d, qint16 code)
{
    for (int i = 0; i < d.slotChoices.size(); ++i)
        if (d.sources[i].code == code)
            return d.slotChoices[i];
    return QString();
}

qint16 codeOf(const QueueDescription &d, const QString &slot)
{
    const qsizetype i = d.slotChoices.indexOf(slot);
    return i < 0 ? automaticBin : d.sources[i].code;
}

} // namespace

QList<qint16> paperBinCodes(const QStringList &inputSlots)
{
    static const QHash<QString, qint16> known = {
        {QStringLiteral("upper"), 1},        {QStringLiteral("tray1"), 1},
        {QStringLiteral("lower"), 2},        {QStringLiteral("tray2"), 2},
        {QStringLiteral("middle"), 3},       {QStringLiteral("tray3"), 3},
        {QStringLiteral("manual"), 4},       {QStringLiteral("envelope"), 5},
        {QStringLiteral("envmanual"), 6},    {QStringLiteral("auto"), 7},
        {QStringLiteral("tractor"), 8},      {QStringLiteral("smallformat"), 9},
        {QStringLiteral("largeformat"), 10}, {QStringLiteral("largecapacity"), 11},
        {QStringLiteral("cassette"), 14},
    };
    QList<qint16> codes;
    qint16 next = firstDriverBin;
    for (const QString &slot : inputSlots) {
        const qint16 code = known.value(slot.toLower(), 0);
        // A code names one source only: a second "Tray1" or an "Upper" beside it is another bin.
        if (code != 0 && !codes.contains(code))
            codes << code;
        else
            codes << next++;
    }
    return codes;
}

CupsPrinter::CupsPrinter(const QString &queue, const QString &deviceUri)
    : m_queue(queue), m_deviceUri(deviceUri)
{
}

QString CupsPrinter::DeviceName() const
{
    return m_queue;
}

QString CupsPrinter::Port() const
{
    return m_deviceUri;
}

QueueDescription CupsPrinter::describe(bool *hasPpd) const
{
    Http http = connectOrThrow();
    char path[1024] = "";
    time_t modified = 0;
    const http_status_t status =
        cups().cupsGetPPD3(http.get(), m_queue.toUtf8().constData(), &modified, path, sizeof path);
    if (hasPpd)
        *hasPpd = status == HTTP_STATUS_OK;
    if (status == HTTP_STATUS_NOT_FOUND) {
        // A raw queue: no choice of source, the whole sheet is printable.
        QueueDescription d;
        d.sources = {{automaticBin, QStringLiteral("Automatique")}};
        return d;
    }
    if (status != HTTP_STATUS_OK)
        throw PrinterError(QStringLiteral("Impossible d'interroger l'imprimante %1 : %2")
                               .arg(m_queue, QString::fromUtf8(cups().cupsLastErrorString())));
    // The PPD was copied (or linked) into a temporary file for us.
    const auto removeCopy = qScopeGuard([&] { unlink(path); });
    ppd_file_t *ppd = cups().ppdOpenFile(path);
    if (!ppd)
        throw PrinterError(QStringLiteral("Description de l'imprimante %1 illisible").arg(m_queue));
    const auto closePpd = qScopeGuard([&] { cups().ppdClose(ppd); });
    QueueDescription d = describePpd(ppd);
    if (d.sources.isEmpty())
        d.sources = {{automaticBin, QStringLiteral("Automatique")}};
    return d;
}

qint16 CupsPrinter::PaperBin() const
{
    if (m_paperBin)
        return *m_paperBin;
    const QueueDescription d = describe();
    return d.defaultSlot.isEmpty() ? automaticBin : codeOf(d, d.defaultSlot);
}

void CupsPrinter::setPaperBin(qint16 code)
{
    const QueueDescription d = describe();
    for (const PaperSource &source : d.sources) {
        if (source.code == code) {
            m_paperBin = code;
            return;
        }
    }
    throw PrinterError(QStringLiteral("L'imprimante %1 n'a pas de bac numéro %2").arg(m_queue).arg(code));
}

int CupsPrinter::LandscapeRotation() const
{
    bool hasPpd = false;
    const QueueDescription d = describe(&hasPpd);
    if (!hasPpd)
        throw PrinterError(
            QStringLiteral("L'imprimante %1 ne décrit pas son orientation paysage").arg(m_queue));
    return d.landscapeRotation;
}

QList<PaperSource> CupsPrinter::PaperSources() const
{
    return describe().sources;
}

PaintedPrinter::Sheet CupsPrinter::sheet(qint16 orientation) const
{
    const QueueDescription d = describe();
    if (orientation != 2)
        return {QPointF(d.left, d.top), 0};
    // A landscape page is turned here, the way the queue says it turns landscape, so
    // that the page lands where the advice on laying the cheque says whatever the
    // filters would do with a landscape page. With 90 degrees the page's top edge is
    // the sheet's left edge and its left edge the sheet's bottom; with 270 its left
    // edge is the sheet's top and its top edge the sheet's right.
    if (d.landscapeRotation == 270)
        return {QPointF(d.top, d.right), 270};
    return {QPointF(d.bottom, d.left), 90};
}

void CupsPrinter::deliver(const QByteArray &pdf)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/tolvo-XXXXXX.pdf"));
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        throw PrinterError(QStringLiteral("Impossible d'écrire le document à imprimer dans le dossier %1")
                               .arg(QDir::toNativeSeparators(QDir::tempPath())));
    file.close();

    const QueueDescription d = describe();
    const QString slot = slotFor(d, m_paperBin.value_or(codeOf(d, d.defaultSlot)));

    cups_option_t *options = nullptr;
    int count = 0;
    count = cups().cupsAddOption("media", "A4", count, &options);
    if (!slot.isEmpty())
        count = cups().cupsAddOption("InputSlot", slot.toUtf8().constData(), count, &options);
    // The sheet is always portrait: a landscape page was turned already.
    count = cups().cupsAddOption("orientation-requested", "3", count, &options);
    // Positions are measured on the sheet: the page must never be shrunk to fit, by
    // CUPS's filters (print-scaling, or fit-to-page for older ones) or by the driver.
    count = cups().cupsAddOption("print-scaling", "none", count, &options);
    count = cups().cupsAddOption("fit-to-page", "false", count, &options);
    for (const auto &[option, choice] : d.noScaling)
        count =
            cups().cupsAddOption(option.toUtf8().constData(), choice.toUtf8().constData(), count, &options);
    const auto freeOptions = qScopeGuard([&] { cups().cupsFreeOptions(count, options); });

    Http http = connectOrThrow();
    const int job =
        cups().cupsPrintFile2(http.get(), m_queue.toUtf8().constData(),
                              QFile::encodeName(file.fileName()).constData(), "Tolvo", count, options);
    if (job == 0)
        throw PrinterError(QStringLiteral("L'imprimante %1 a refusé le document (réponse du serveur : %2).")
                               .arg(m_queue, QString::fromUtf8(cups().cupsLastErrorString())));
}

CupsQueues cupsQueues()
{
    CupsQueues queues;
    if (!loadCups())
        return queues;
    Http http = connectToServer();
    if (!http)
        return queues;
    cups_dest_t *dests = nullptr;
    const int count = cups().cupsGetDests2(http.get(), &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t &dest = dests[i];
        // Instances are option presets of a queue, not other printers.
        if (dest.instance)
            continue;
        const char *uri = cups().cupsGetOption("device-uri", dest.num_options, dest.options);
        if (!uri)
            uri = cups().cupsGetOption("printer-uri-supported", dest.num_options, dest.options);
        if (dest.is_default)
            queues.defaultIndex = int(queues.printers.size());
        queues.printers.push_back(std::make_unique<CupsPrinter>(QString::fromUtf8(dest.name),
                                                                uri ? QString::fromUtf8(uri) : QString()));
    }
    cups().cupsFreeDests(count, dests);
    return queues;
}

} // namespace platform

#pragma GCC diagnostic pop
