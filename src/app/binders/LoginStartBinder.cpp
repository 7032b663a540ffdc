#include "app/binders/LoginStartBinder.h"

#include "app/binders/WindowServices.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"

#include <QCheckBox>
#include <QTabWidget>

LoginStartBinder::LoginStartBinder(WindowServices& services, Controls controls)
    : services_(services), c_(controls),
      entry_(LoginStart::forThisProgram(services.programFolder)) {
    connect(c_.advanced.cbLoginStart, &QCheckBox::clicked, this,
            [this](bool on) { cbLoginStartClick(on); });
    connect(&c_.pages, &QTabWidget::currentChanged, this, [this] {
        if (c_.pages.currentWidget() == &c_.advanced)
            refresh();
    });
    refresh();
}

void LoginStartBinder::refresh() {
    c_.advanced.cbLoginStart->setChecked(entry_.exists());
}

void LoginStartBinder::cbLoginStartClick(bool on) {
    QString why;
    if (on && !entry_.write(&why))
        services_.messages.inform(QStringLiteral("Unable to write ") + entry_.path() +
                                  QLatin1Char('\n') + why);
    else if (!on && !entry_.remove(&why))
        services_.messages.inform(QStringLiteral("Unable to remove ") + entry_.path() +
                                  QLatin1Char('\n') + why);
    // Whatever happened, the box tells what is there now.
    refresh();
}
