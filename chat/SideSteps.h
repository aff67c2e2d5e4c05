#pragma once

#include <QString>

namespace parlo {

class frmClient;

// The status text for a failed attempt, by the socket's description; empty
// for failures that have no text of their own.
QString failureText(const QString& description);

// Sends "/terminate" with the connection number, makes sure it has left
// (bounded wait) and closes the socket: the program may end right after.
void sayGoodbye(frmClient& form);

} // namespace parlo
