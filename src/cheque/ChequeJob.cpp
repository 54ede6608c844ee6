#include "cheque/ChequeJob.h"

#include "cheque/ChequeLayout.h"
#include "cheque/mValToChar.h"
#include "platform/Conversions.h"
#include "platform/print/ImagePrinter.h"
#include "platform/print/PdfPrinter.h"

#include <stdexcept>

namespace cheque {

namespace {

// The amount rounded to the cent, the way it is normalised; nothing for a signed
// text or one that is not a number.
std::optional<platform::Decimal> amountDigits(const QString &amountText)
{
    const QString text = amountText.trimmed();
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    const auto parsed = platform::parseDecimal(text);
    if (!parsed)
        return std::nullopt;
    return platform::roundToCents(*parsed);
}

bool fitsWholeEuros(const QString &integerDigits)
{
    static const QString largest = QStringLiteral("2147483647");
    return integerDigits.size() < largest.size() ||
           (integerDigits.size() == largest.size() && integerDigits <= largest);
}

CheckResult refused(ChequeCheck check, const QString &message, platform::MsgIcon icon, ChequeField focus)
{
    CheckResult r;
    r.check = check;
    r.message = message;
    r.icon = icon;
    r.focus = focus;
    return r;
}

CheckResult refusedAmount(ChequeCheck check, const QString &message)
{
    return refused(check, message, platform::MsgIcon::Exclamation, ChequeField::Amount);
}

qint16 tagNumber(const QString &tag)
{
    const auto n = platform::CInt16(platform::Val(tag));
    if (!n)
        throw std::overflow_error("tag out of range");
    return *n;
}

} // namespace

CheckResult CheckAmount(const QString &amountText)
{
    if (amountText.trimmed().isEmpty())
        return refusedAmount(ChequeCheck::EmptyAmount, QStringLiteral("Indiquez le montant du chèque."));
    const auto digits = amountDigits(amountText);
    // "0,00", and any text that rounds to it
    if (digits && digits->integer == QLatin1String("0") && digits->fraction == QLatin1String("00"))
        return refusedAmount(ChequeCheck::ZeroAmount, QStringLiteral("Un montant nul n'est pas autorisé."));
    if (digits && !fitsWholeEuros(digits->integer))
        return refusedAmount(ChequeCheck::AmountTooLarge,
                             QStringLiteral("Le montant du chèque est trop élevé."));
    if (!digits)
        return refusedAmount(ChequeCheck::AmountNotValid,
                             QStringLiteral("Le montant du chèque n'est pas valide."));
    return CheckResult();
}

CheckResult CheckCheque(const QString &amountText, const QString &dateText)
{
    if (CheckResult amount = CheckAmount(amountText); !amount.ok())
        return amount;
    const auto date = platform::CDate(dateText);
    if (!date)
        return refused(
            ChequeCheck::InvalidDate,
            QStringLiteral("La date du chèque n'est pas une date valide.\r\nVeuillez la corriger."),
            platform::MsgIcon::Information, ChequeField::Date);
    CheckResult ok;
    ok.date = platform::ShortDate(*date);
    return ok;
}

std::optional<Euros> AmountParts(const QString &amountText)
{
    const auto digits = amountDigits(amountText);
    if (!digits || !fitsWholeEuros(digits->integer))
        return std::nullopt;
    return Euros{digits->integer.toInt(), digits->fraction.toInt()};
}

QString WordsText(const QString &amountText, bool stars)
{
    const auto euros = AmountParts(amountText);
    if (!euros)
        throw std::invalid_argument("amount out of range");
    QString words = mValToChar::ValToChar(euros->whole) + QStringLiteral(" EUROS");
    if (euros->cents > 0)
        words += QLatin1Char(' ') + mValToChar::ValToChar(euros->cents) + QStringLiteral(" CTS");
    words = words.toUpper();
    return stars ? QStringLiteral("**") + words + QStringLiteral("**") : words;
}

void SetUpPage(ChequePage &page, const ChequeInput &input)
{
    page.HorAjust = input.HorAjust;
    page.VerAjust = input.VerAjust;
    page.step([&] { page.device = &platform::printers().current(); });

    page.step([&] { page.printer().setPaperBin(tagNumber(input.paperBinTag)); });
    page.step([&] { page.printer().setPaperSize(9); }); // A4
    page.step([&] { page.printer().setOrientation(tagNumber(input.orientationTag)); });
    page.step([&] { page.printer().setScaleMode(6); }); // millimetres
    page.step([&] { page.printer().setFontName(input.sFont); });

    // The cheque lies at the far end of a landscape sheet; the rotation says which end.
    page.step([&] {
        const FormCorner corner = FormPlacement(page.printer().Orientation(), input.positionnementTag);
        page.horizontalOffset = corner.x;
        page.verticalOffset = corner.y;
    });

    // Failures of the configuration must not cut the fitting loops short.
    page.failed = false;
}

PrintReport EndPage(ChequePage &page)
{
    PrintReport report;
    page.step([&] {
        platform::Printer &printer = page.printer();
        try {
            printer.EndDoc();
        } catch (const platform::PrinterError &e) {
            report.notHandedOver = QString::fromStdString(e.what());
            throw;
        }
        // A page without any text never leaves the program.
        report.handedOver = page.printed > 0;
        report.file = platform::writtenFile(printer);
    });
    report.failed = page.failed;
    report.measures = page.measures;
    return report;
}

PrintReport PrintCheque(const ChequeInput &input)
{
    ChequePage page;
    SetUpPage(page, input);
    DrawCheque(page, input);
    return EndPage(page);
}

void DrawCheque(ChequePage &page, const ChequeInput &input)
{
    QString words;
    page.step([&] { words = WordsText(input.amount, input.stars); });
    PrintLayout(page, input.beneficiary, input.date, words, input.amount, input.stars);
}

void ReportNotPrinted(QWidget *parent, const QString &headline, const QString &reason)
{
    platform::messageBox(parent, headline + QLatin1Char('\n') + reason, platform::MsgIcon::Exclamation);
}

QImage PreviewCheque(const ChequeInput &input, const QImage &specimen, double dotsPerMm)
{
    platform::ImagePrinter device(QSizeF(formWidth, formHeight), dotsPerMm);
    device.setBackground(specimen);
    ChequePage page;
    page.device = &device;
    page.HorAjust = input.HorAjust;
    page.VerAjust = input.VerAjust;
    page.step([&] { device.setPaperSize(9); });
    page.step([&] { device.setScaleMode(6); });
    page.step([&] { device.setFontName(input.sFont); });
    page.failed = false;
    DrawCheque(page, input);
    device.EndDoc();
    return device.image();
}

} // namespace cheque
