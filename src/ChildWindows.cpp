#include "ChildWindows.h"

#include "gui/explorer/frmExplorer.h"
#include "gui/explorer/frmFind.h"
#include "gui/import/frmImport.h"
#include "gui/labels/frmPrintLabels.h"
#include "gui/lists/frmLists.h"
#include "gui/photos/frmPhotos.h"
#include "gui/shell/mdiMain.h"

void RegisterChildWindows(mdiMain& main)
{
    main.setChildFactory(QStringLiteral("frmPhotos"), [](mdiMain& frame) { return frmPhotos::make(&frame); });
    main.setChildFactory(QStringLiteral("frmExplorer"),
                         [](mdiMain& frame) { return frmExplorer::make(&frame, frame.programFolder()); });
    main.setChildFactory(QStringLiteral("frmFind"), [](mdiMain& frame) { return frmFind::make(&frame); });
    main.setChildFactory(QStringLiteral("frmLists"), [](mdiMain&) { return frmLists::make(); });
    main.setChildFactory(QStringLiteral("frmImport"), [](mdiMain& frame) { return frmImport::make(&frame); });
    main.setModalWindow(QStringLiteral("frmPrintLabels"), [](mdiMain& frame) {
        frmPrintLabels window(&frame, frame.programFolder(), &frame);
        window.exec();
    });
}
