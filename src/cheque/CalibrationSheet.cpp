#include "cheque/CalibrationSheet.h"

#include "settings/Settings.h"

#include <cmath>

namespace cheque {

namespace {

constexpr float titleSize = 11; // points
constexpr float textSize = 8;
constexpr float labelSize = 7;
constexpr float rulerSize = 6;

// Draws from an origin on the sheet (the form's corner, or the printable area's), every
// drawing a step of the page: one the printer refuses is skipped.
struct SheetPen {
    ChequePage &page;
    QPointF origin;

    void line(double x1, double y1, double x2, double y2)
    {
        page.step([&] {
            page.printer().Line(float(origin.x() + x1), float(origin.y() + y1), float(origin.x() + x2),
                                float(origin.y() + y2));
        });
    }
    void size(float points)
    {
        page.step([&] { page.printer().setFontSize(points); });
    }
    float width(const QString &text)
    {
        float w = 0;
        page.step([&] { w = page.TextWidth(text); });
        return w;
    }
    float height()
    {
        float h = 0;
        page.step([&] { h = page.TextHeight(QStringLiteral("E")); });
        return h;
    }
    // The text with its top-left corner at (x, y).
    void text(double x, double y, const QString &text)
    {
        page.step([&] {
            platform::Printer &p = page.printer();
            p.setCurrentX(float(origin.x() + x));
            p.setCurrentY(float(origin.y() + y));
            p.Print(text);
            ++page.printed;
        });
    }
};

// Millimetre rulers along the top and left edges, numbered every 10 mm from the
// form's top-left corner, running past both ends of each edge so that the form's own
// edges can be read on them. Ticks and numbers lie inside the form, where the printer
// reaches even when the form touches the sheet's edges.
void drawRulers(SheetPen &pen)
{
    const double inset = platform::Printer::lineWidth / 2;
    pen.line(-rulerOverhang, inset, 0, inset);
    pen.line(formWidth, inset, formWidth + rulerOverhang, inset);
    pen.line(inset, -rulerOverhang, inset, 0);
    pen.line(inset, formHeight, inset, formHeight + rulerOverhang);
    auto tick = [](int mm) { return mm % 10 == 0 ? 4.0 : mm % 5 == 0 ? 2.5 : 1.5; };
    for (int mm = int(-rulerOverhang); mm <= int(formWidth + rulerOverhang); ++mm)
        pen.line(mm, 0, mm, tick(mm));
    for (int mm = int(-rulerOverhang); mm <= int(formHeight + rulerOverhang); ++mm)
        pen.line(0, mm, tick(mm), mm);

    pen.size(rulerSize);
    const float h = pen.height();
    // No 0: the corner belongs to both rulers.
    for (int mm = int(-rulerOverhang); mm <= int(formWidth + rulerOverhang); mm += 10)
        if (mm != 0)
            pen.text(mm - pen.width(QString::number(mm)) / 2, 4.3, QString::number(mm));
    for (int mm = int(-rulerOverhang); mm <= int(formHeight + rulerOverhang); mm += 10)
        if (mm != 0)
            pen.text(4.5, mm - h / 2, QString::number(mm));
}

void drawBars(SheetPen &pen, const SheetPlan &bars)
{
    const double inset = platform::Printer::lineWidth / 2;
    const QString label = QStringLiteral("doit mesurer 100 mm");
    pen.size(textSize);
    const float h = pen.height(), w = pen.width(label);

    const QPointF a = bars.horizontalStart;
    pen.line(a.x(), a.y(), a.x() + barLength, a.y());
    pen.line(a.x() + inset, a.y() - 2, a.x() + inset, a.y() + 2);
    pen.line(a.x() + barLength - inset, a.y() - 2, a.x() + barLength - inset, a.y() + 2);
    pen.text(a.x() + (barLength - w) / 2, a.y() + 2.5, label);

    const QPointF b = bars.verticalStart;
    pen.line(b.x(), b.y(), b.x(), b.y() + barLength);
    pen.line(b.x() - 2, b.y() + inset, b.x() + 2, b.y() + inset);
    pen.line(b.x() - 2, b.y() + barLength - inset, b.x() + 2, b.y() + barLength - inset);
    pen.text(b.x() - 3 - w, b.y() + (barLength - h) / 2, label);
}

// "0,97", "99,5": three decimals at most, a decimal comma.
QString decimalText(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

SheetPlan PlanFor(FormCorner corner)
{
    // Below the form, or above it when it lies in the sheet's lower part.
    const double top = corner.y > 0 ? 5 : formHeight + 14;
    return {QPointF(10, top), QPointF(10, top + 55), QPointF(190, top + 5)};
}

void DrawCalibrationSheet(ChequePage &page, const QString &about)
{
    const FormCorner corner{page.horizontalOffset, page.verticalOffset};
    SheetPen form{page, QPointF(double(page.HorAjust) + corner.x, double(page.VerAjust) + corner.y)};

    // The outline lies inside the form: its outer side is the form's edge.
    const double inset = platform::Printer::lineWidth / 2;
    form.line(0, inset, formWidth, inset);
    form.line(0, formHeight - inset, formWidth, formHeight - inset);
    form.line(inset, 0, inset, formHeight);
    form.line(formWidth - inset, 0, formWidth - inset, formHeight);
    drawRulers(form);

    form.size(labelSize);
    const float labelHeight = form.height();
    for (const SheetMark &mark : sheetMarks) {
        const double x = mark.item.x, y = mark.item.y;
        form.line(x - crossArm, y, x + crossArm, y);
        form.line(x, y - crossArm, x, y + crossArm);
        form.text(x + 1.2, y - 0.6 - labelHeight, QString::fromUtf16(mark.label));
    }
    form.text(10, formHeight - 3 - labelHeight,
              QStringLiteral("Contour de la formule de chèque (%1 × %2 mm)").arg(formWidth).arg(formHeight));

    const SheetPlan plan = PlanFor(corner);
    SheetPen sheet{page, QPointF()};
    double y = plan.notes.y();
    sheet.size(titleSize);
    sheet.text(plan.notes.x(), y, QStringLiteral("Feuille d'étalonnage de Tolvo"));
    y += sheet.height() + 1;
    sheet.size(textSize);
    const float h = sheet.height();
    const QString lines[] = {
        about,
        QStringLiteral("Ajustements en cours : horizontal %1 mm, vertical %2 mm.")
            .arg(page.HorAjust)
            .arg(page.VerAjust),
        QStringLiteral(
            "1. Posez cette feuille sur une formule de chèque et regardez-les par transparence, devant une "
            "fenêtre ;"),
        QStringLiteral("    ou bien posez une formule dans l'imprimante et imprimez cette feuille dessus."),
        QStringLiteral(
            "2. Lisez sur les règles de combien de millimètres les croix tombent à côté des lignes de la "
            "formule,"),
        QStringLiteral("    et tapez ces nombres dans la fenêtre « Étalonnage »."),
        QStringLiteral(
            "3. Mesurez les deux barres : si l'une ne mesure pas 100 mm, la page est mise à l'échelle."),
    };
    for (const QString &line : lines) {
        sheet.text(plan.notes.x(), y, line);
        y += h;
    }
    drawBars(sheet, plan);
}

PrintReport PrintCalibrationSheet(const ChequeInput &input, const QString &about)
{
    ChequePage page;
    SetUpPage(page, input);
    DrawCalibrationSheet(page, about);
    return EndPage(page);
}

QString ScalingReport(const SheetReading &reading)
{
    QStringList off;
    const std::pair<std::optional<double>, QString> bars[] = {
        {reading.horizontalBar, QStringLiteral("La barre horizontale")},
        {reading.verticalBar, QStringLiteral("La barre verticale")}};
    for (const auto &[measured, name] : bars) {
        if (!measured || std::fabs(*measured - barLength) <= 1)
            continue;
        off << QStringLiteral("%1 mesure %2 mm au lieu de 100 mm (rapport %3).")
                   .arg(name, decimalText(*measured), decimalText(*measured / barLength));
    }
    if (off.isEmpty())
        return QString();
    return off.join(QLatin1Char('\n')) +
           QStringLiteral(
               "\n\nL'imprimante ou son pilote met la page à l'échelle : tout ce que Tolvo imprime est "
               "déplacé et Tolvo ne le corrige pas de lui-même. Désactivez la mise à l'échelle "
               "(« Ajuster à la page », « Adapter au papier », « Mise à l'échelle ») dans les "
               "propriétés de l'imprimante (paramètres d'impression du bureau, ou page "
               "http://localhost:631 de CUPS) ; si vous imprimez le fichier PDF depuis une "
               "visionneuse, choisissez « Taille réelle » dans sa fenêtre d'impression. Imprimez "
               "ensuite une nouvelle feuille d'étalonnage.\n\nLes ajustements n'ont pas été modifiés.");
}

std::optional<Adjustments> Calibrated(Adjustments current, const SheetReading &reading)
{
    const int hor = current.HorAjust + reading.right, ver = current.VerAjust + reading.down;
    if (std::abs(hor) > settings::ajustLimit || std::abs(ver) > settings::ajustLimit)
        return std::nullopt;
    return Adjustments{qint16(hor), qint16(ver)};
}

} // namespace cheque
