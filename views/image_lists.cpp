// Image lists: company and folder marks, band images, and the large program marks.
#include "image_lists.h"

#include <initializer_list>

#include "app_state.h"
#include "display_scale.h"
#include "gdi.h"
#include "resource.h"

HIMAGELIST smallImageList = nullptr;
HIMAGELIST largeImageList = nullptr;

namespace {

// Each bitmap serves as its own mask: its white is what the list leaves transparent.
void addBitmap(HIMAGELIST list, int id) {
    ScopedBitmap image(LoadBitmapA(app.instance, MAKEINTRESOURCEA(id)));
    ScopedBitmap mask(LoadBitmapA(app.instance, MAKEINTRESOURCEA(id)));
    ImageList_Add(list, image.get(), mask.get());
}

} // namespace

HIMAGELIST makeSmallImageList(int dpi) {
    // Pictures drawn at the side the DPI asks for: none is stretched.
    const int side = smallImageSide(dpi);
    HIMAGELIST list = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 1, 0);
    if (!list) return nullptr;
    for (int id :
         {IDB_COMPANY, IDB_COMPANY_SELECTED, IDB_MARK_TRICOLOUR, IDB_FOLDER, IDB_FOLDER_OPEN, IDB_MAGNIFIER})
        addBitmap(list, pictureAtSide(id, side));
    return list;
}

bool createImageLists() {
    if (!smallImageList || !largeImageList) {
        smallImageList = makeSmallImageList(layoutDpi());
        largeImageList = ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 1, 0);
        if (!smallImageList || !largeImageList) return false;
        for (int id : {IDI_APP, IDI_MARK_TEAL, IDI_MARK_TRICOLOUR})
            ImageList_ReplaceIcon(largeImageList, -1, LoadIconA(app.instance, MAKEINTRESOURCEA(id)));
    }
    return true;
}

void forgetImageLists() {
    smallImageList = nullptr;
    largeImageList = nullptr;
}
