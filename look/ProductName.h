#pragma once

#include <QString>

namespace parlo {

// The product's name as its windows and boxes show it.
inline const QString kProductName = QStringLiteral("Parlo");

} // namespace parlo
