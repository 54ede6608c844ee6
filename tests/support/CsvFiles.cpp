#include "support/CsvFiles.h"

#include "platform/Profile.h"

namespace testsupport {

QByteArray libreOfficeFile()
{
    QStringList lines = {"Bénéficiaire;Montant;Date;Libellé",
                         "Boulangerie Léon;125,40;05/12/2026;Facture F-101",
                         "Garage Müller & Fils;1\u00A0234,50;05/12/2026;Révision",
                         "\"Durand; Dupont et Cie\";89,9;;\"Fournitures \"\"bureau\"\"\"",
                         "Crèche Les Pâquerettes;450;06/12/26;",
                         "Œuvres sociales;75,00 €;07/12/2026;Don"};
    for (int line = 7; line <= 21; ++line)
        lines << QString("Fournisseur n°%2;%1,25;10/12/2026;Facture F-1%2").arg(line * 10).arg(line);
    lines[13] = "Imprimerie Gaël;12,3,4;10/12/2026;Affiches";
    lines[19] = "Société Immobilière;3\u00A0000\u00A0000\u00A0000,00;10/12/2026;Loyer";
    return *platform::windows1252::encode(lines.join("\r\n") + "\r\n");
}

QStringList libreOfficeCheques()
{
    QStringList rows = {"Boulangerie Léon|125,40|05/12/2026|Facture F-101",
                        "Garage Müller & Fils|1234,50|05/12/2026|Révision",
                        "Durand; Dupont et Cie|89,90||Fournitures \"bureau\"",
                        "Crèche Les Pâquerettes|450,00|06/12/2026|", "Œuvres sociales|75,00|07/12/2026|Don"};
    for (int line = 7; line <= 21; ++line)
        if (line != 14 && line != 20)
            rows << QString("Fournisseur n°%2|%1,25|10/12/2026|Facture F-1%2").arg(line * 10).arg(line);
    return rows;
}

const QStringList libreOfficeProblems = {"ligne 14 : montant « 12,3,4 » illisible",
                                         "ligne 20 : montant supérieur au maximum"};

} // namespace testsupport
