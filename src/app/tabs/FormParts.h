#pragma once
// Pieces the window's regions share: the small pictures with a hint (indicators, padlocks,
// ticks) and the setting groups a menu item can highlight.
class QGroupBox;
class QLabel;
class QString;

namespace FormParts {

QLabel* picture(const char* name, const QString& resource, const QString& hint);
// A group that paints its background, so that a highlight shows.
QGroupBox* group(const char* name, const QString& title);
// A tooltip showing text as it is: a tooltip that looks like markup is drawn as markup, and a
// file name may look like anything. Empty for an empty text, so no empty tip shows.
QString plainToolTip(const QString& text);
// One group turns white (a menu's "Configure ..." item) until the user next changes tabs.
void highlight(QGroupBox* group);
void clearHighlight(QGroupBox* group);

} // namespace FormParts
