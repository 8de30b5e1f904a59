#include "support/sample_protocol.h"

#include <QHash>

Pruefprotokoll sample_protocol() {
    Pruefprotokoll p;
    Geraetedaten& d = p.geraetedaten;
    d.verbunden = true;
    d.sn = QStringLiteral(" QV5-004711 ");
    d.lp = QStringLiteral("LP-2231");
    d.sw = QStringLiteral("V2.14");
    d.o2 = 93.46;
    d.mwo2 = 92.8;
    d.gastemp = 31.25;
    d.kompressortemp = 48.9;
    d.bstd = QStringLiteral("12345:30");
    d.zeiten = {30, 45, 45, 5, 6, 5, 6};
    p.felder[kKrankenkasse] = QStringLiteral("AOK Bayern");
    p.felder[kPatient] = QStringLiteral("Jörg O'Neill");
    p.felder[kStrasse] = QStringLiteral("Maximilianstraße 12");
    p.felder[kOrt] = QStringLiteral("80539 München");
    p.felder[kTelefon] = QStringLiteral("089 123456");
    p.felder[kPruefer] = QStringLiteral("Grünwald");
    p.felder[kDatum] = QStringLiteral("31.01.2025");
    p.felder[kUhrzeit] = QStringLiteral("14:05:09");
    for (int f : {kSelbsttest, kAnsaugtest, kMaxflow, kVisuell, kLeistung, kStk})
        p.felder[size_t(f)] = QStringLiteral("1");
    p.felder[kMinflow] = QStringLiteral("2");
    p.felder[kTypenschild] = QStringLiteral("0");
    p.felder[kBemerkungen] = QStringLiteral(
        "Patient's cannula replaced\r\nFilter gewechselt\r\n\r\nline four\r\nline five\r\nline "
        "six");
    p.felder[kZubehoer] = QStringLiteral("Nasenbrille 2 m");
    return p;
}

QString design_caption(const QString& control_name) {
    static const QHash<QString, QString> captions{
        {"lbl_Krankenkasse", "Krankenkasse"},
        {"lbl_Patient", "Patient"},
        {"lbl_Strasse", "Straße"},
        {"lbl_Ort", "Ort"},
        {"lbl_Telefon", "Telefon"},
        {"lbl_pruefer", "Prüfer"},
        {"lbl_Datum", "Datum"},
        {"lbl_Uhrzeit", "Uhrzeit"},
        {"lbl_Funktionstest", "Funktionstest"},
        {"ck_Selbsttest", "Selbsttest, alle Funktionen vorhanden"},
        {"ck_Ansaugtest", "Ansaugtest Kompressor"},
        {"ck_maxflow", "maximaler Flow"},
        {"ck_minflow", "minimaler Flow"},
        {"ck_visuell", "visuelle Kontrolle"},
        {"ck_Leistung", "Leistungsaufnahme"},
        {"lbl_Hersteller", "nur Hersteller"},
        {"ck_Typenschild", "Typenschild anbringen"},
        {"lbl_stk", "STK"},
        {"ck_stk", "STK durchgeführt"},
        {"lbl_Bemerkungen", "Bemerkungen"},
        {"lbl_Zubehoer", "ausgeliefertes Zubehör"},
        {"lbl_sn", "Seriennummer Gerät"},
        {"lbl_lp", "Seriennummer LP"},
        {"lbl_sw", "Softwareversion"},
        {"lbl_o2", "O2-Konzentration (%)"},
        {"lbl_MWO2", "MW O2-Konz. (%)"},
        {"lbl_gastemp", "Gastemperatur (°C)"},
        {"lbl_kompressortemp", "Kompressortemperatur (°C)"},
        {"lbl_bstd", "Betriebsstunden (h)"},
        {"frmZeiten", "Zeiten"},
        {"lbl_t_0", "Vorlauf (s)"},
        {"lbl_t_1", "1-Länge (s)"},
        {"lbl_t_2", "2-Länge (s)"},
        {"lbl_t_3", "1-öffnen (s)"},
        {"lbl_t_4", "1-schließen (s)"},
        {"lbl_t_5", "2-öffnen (s)"},
        {"lbl_t_6", "2-schließen (s)"},
    };
    return captions.value(control_name, QStringLiteral("?") + control_name);
}

LanguageTable print_texts() {
    LanguageTable t;
    t.texts[4202] = QStringLiteral("Gerätedaten");
    t.texts[4800] = QStringLiteral("STK-Prüfprotokoll Quorvel 5");
    t.texts[4801] = QStringLiteral("Unterschrift Prüfer");
    t.texts[4802] = QStringLiteral("Unterschrift Patient");
    t.texts[4810] = QStringLiteral("Das Prüfprotokoll konnte nicht gedruckt werden.");
    t.texts[4900] = QStringLiteral("Fehler");
    t.texts[5200] = QStringLiteral("Fehler bei der Druckausgabe.");
    t.texts[5300] = QStringLiteral("Fehler");
    t.texts[6106] = QStringLiteral("%1 passt nicht.");
    t.texts[6107] = QStringLiteral("OK oder Abbrechen?");
    t.texts[6110] = QStringLiteral("Index außerhalb des gültigen Bereichs");
    t.texts[6111] = QStringLiteral("Typen unverträglich");
    t.texts[6112] = QStringLiteral("Ungültiger Eigenschaftswert");
    t.texts[6113] = QStringLiteral("Druckerfehler");
    return t;
}
