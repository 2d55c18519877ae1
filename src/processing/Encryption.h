#pragma once

#include <QString>

namespace dokivo {

struct PassEnvironment;
struct SlotContext;

// The outside tool, looked for in the application folder.
inline const QString kEncryptionToolName = QStringLiteral("encryptpdf.exe");

// The name under which the tool writes the protected copy, in the document's own folder.
inline const QString kEncryptionWorkFileName = QStringLiteral("cripato.pdf");

enum class EncryptionOutcome { NotAttempted, AlreadyProtected, Encrypted, Failed };

// Whether the slot's switch asks for its documents to be protected.
bool slotEncrypts(const SlotContext& ctx);

// The slot's own password from "ao.dat" in `dir_pwd`; empty when the file gives none, and the
// standard password is used.
QString storedSlotPassword(const QString& dir_pwd, int slot);

// Has the document (slot folder + source name) protected by the outside tool "encryptpdf.exe"
// of the application folder, with the slot's password from "ao.dat" or the standard one, and
// replaces the document in the input folder with the protected copy, so delivery files that.
// Not attempted when the slot's switch is off or the tool is missing; a document that cannot be
// opened without a password is delivered as it is (one whose encryption only restricts its use
// is protected like any other); failed (the document stays as it was) when
// the tool leaves no protected copy: at once when it ended saying it failed, else 10 seconds
// after its start. The window's events keep running while the tool runs and its copy is
// awaited. The operation lines name the destination name. Nothing here ends the folder pass: the
// step has its own failure path.
EncryptionOutcome encryptDocument(const PassEnvironment& env, const QString& sourceName,
                                  const QString& destinationName);

}  // namespace dokivo
