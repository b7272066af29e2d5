#include "widgets/PlainButton.h"

#include <QPushButton>

QPushButton *plainButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
