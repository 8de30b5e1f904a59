#pragma once

#include <QString>

#include "platform/language_table.h"
#include "protocol/protocol_record.h"

// A filled-in protocol as a technician leaves it: apostrophes, umlauts, six
// lines of remarks, a greyed and an unticked box.
Pruefprotokoll sample_protocol();

// The form's design captions by control name (German).
QString design_caption(const QString& control_name);

// The page's own texts (title, signatures, messages) in German.
LanguageTable print_texts();
