// Image lists: company and folder marks, band images, and the large program marks.
#include "image_lists.h"

#include <initializer_list>

#include "app_state.h"
#include "gdi.h"
#include "resource.h"

HIMAGELIST smallImageList = nullptr;
HIMAGELIST largeImageList = nullptr;

namespace {

// Each bitmap serves as its own mask: its white is what the list leaves transparent.
void addBitmap(int id) {
    ScopedBitmap image(LoadBitmapA(app.instance, MAKEINTRESOURCEA(id)));
    ScopedBitmap mask(LoadBitmapA(app.instance, MAKEINTRESOURCEA(id)));
    ImageList_Add(smallImageList, image.get(), mask.get());
}

} // namespace

bool createImageLists() {
    if (!smallImageList || !largeImageList) {
        smallImageList = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 1, 0);
        largeImageList = ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 1, 0);
        if (!smallImageList || !largeImageList) return false;
        for (int id : {IDB_COMPANY, IDB_COMPANY_SELECTED, IDB_MARK_TRICOLOUR, IDB_FOLDER, IDB_FOLDER_OPEN,
                       IDB_MAGNIFIER})
            addBitmap(id);
        for (int id : {IDI_APP, IDI_MARK_TEAL, IDI_MARK_TRICOLOUR})
            ImageList_ReplaceIcon(largeImageList, -1, LoadIconA(app.instance, MAKEINTRESOURCEA(id)));
    }
    return true;
}

void forgetImageLists() {
    smallImageList = nullptr;
    largeImageList = nullptr;
}
