#pragma once

#include <QDateTime>
#include <QString>

namespace dokivo {

struct SlotContext;

// Every position and length here counts characters as the operator sees them: a character
// outside the Basic Multilingual Plane (an emoji) is one, and no cut splits one.

// The slot's control-character rule: the characters of a name from `first` to `last` (1-based,
// both included) must read as `code`, letter case disregarded.
struct ControlRule {
    bool active = false;
    qint64 first = 0;
    qint64 last = 0;
    QString code;
};

// Active only when all three values are set, both positions are numbers and last >= first.
ControlRule decideControlRule(const SlotContext& ctx);
// Names shorter than the last position fail. A first position below 1 is a bad call (error 5).
bool passesControlRule(const ControlRule& rule, const QString& name);

// 1-based position of the last ".", 0 when there is none.
qsizetype dotPosition(const QString& name);
// Every character after the dot position.
QString extensionAfterDot(const QString& name, qsizetype dot);
// "||" + the characters after the last dot + "||" when the dot is past the first character.
QString extensionToken(const QString& name, qsizetype dot);
// A name with a dot is taken when its extension is listed (any letter case) or it ends in ".PDF".
bool acceptedByExtension(const QString& name, qsizetype dot, const QString& token,
                         const QString& extensionList);

// The destination name's base forms: blanks to "_", the sixteen-character form
// ("ABC-12345678.pdf" -> "ABC_12345678.pdf") and, in SIHSIT slots, "ST-...-BC" -> "ST_..._BC".
QString baseDestinationName(const QString& sourceName, bool sihsit);

// The time-stamped form of DOCLIBERO and ABBIN: slots: the first 30 characters of the base name,
// "_", the creation time as "YYMMDDHHSS", "." and the source's extension.
QString timeStampedName(const QString& destinationName, const QString& sourceName, qsizetype dot,
                        const QDateTime& created);

// Whether the slot asks for time-stamped names.
bool wantsTimeStampedName(const SlotContext& ctx);

}  // namespace dokivo
