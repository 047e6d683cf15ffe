#pragma once
// What a screen reader learns of the program's menus. Qt reads every entry of a
// menu as a plain menu item, and its AT-SPI bridge has no role for an entry that can
// be ticked (Qt 6.4's does not pass on the state that says so either): an unticked
// entry sounds like a command, and only a ticked one is heard as « coché ». This
// reading gives an entry that can be ticked the role of a check box, or of a radio
// button when it is one of an exclusive group, ticked or not, roles that the bridge
// passes on; the other entries and the separators are read as Qt reads them, and a
// submenu is named by its entry. Installed once, for every menu of the program.

void InstallMenuReading();
