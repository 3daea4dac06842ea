// The handle owners: each gives its handle back once, the way its trait says, never the value that
// means "none", and never a handle it has handed on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ScopedWin.h"

namespace {

std::vector<int> gClosed;

// Plain numbers whose "none" is -1, as a file's is INVALID_HANDLE_VALUE: 0 is a handle like any other.
struct CountedTraits {
    using Handle = int;
    static Handle invalid() { return -1; }
    static void close(Handle handle) { gClosed.push_back(handle); }
};
using Counted = qv::ScopedHandle<CountedTraits>;

TEST(ScopedHandle, GivesEachHandleBackOnceAndNeverTheInvalidOne)
{
    gClosed.clear();
    {
        Counted none;
        EXPECT_FALSE(none);
        Counted zero(0);
        EXPECT_TRUE(zero);
        Counted later;
        later.reset(5);
        EXPECT_TRUE(gClosed.empty()) << "an empty owner has nothing to give back";
        Counted a(1), b(2);
        a = std::move(b);
        EXPECT_EQ(gClosed, std::vector<int>{1}) << "the handle moved over goes, the moved one stays";
        EXPECT_FALSE(b);
        a.reset(2);
        EXPECT_EQ(gClosed.size(), 1u) << "a reset to the handle held keeps it";
        Counted c(std::move(a));
        EXPECT_EQ(c.release(), 2);
        EXPECT_FALSE(c);
        *c.put() = 3;
        int* slot = c.put();
        EXPECT_EQ(*slot, -1) << "put gives back what was held and lends an empty slot";
        *slot = 4;
    }
    EXPECT_EQ(gClosed, (std::vector<int>{1, 3, 4, 5, 0}));
}

TEST(ScopedHandle, RealHandlesAreGoneWithTheirOwner)
{
    char folder[MAX_PATH], path[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
    ASSERT_NE(GetTempFileNameA(folder, "qvs", 0, path), 0u);
    auto openAlone = [&] {
        return CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HBITMAP bitmap;
    HDC dc;
    HMENU menu;
    {
        const qv::Bitmap ownedBitmap(CreateBitmap(1, 1, 1, 1, nullptr));
        const qv::CompatibleDC memory(nullptr);
        const qv::Menu ownedMenu(CreatePopupMenu());
        const qv::ScopedFile file(openAlone());
        bitmap = ownedBitmap.get();
        dc = memory.get();
        menu = ownedMenu.get();
        ASSERT_TRUE(file);
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_TRUE(IsMenu(menu));
        EXPECT_FALSE(qv::ScopedFile(openAlone())) << "the file is held without sharing";
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_TRUE(qv::ScopedFile(openAlone())) << "the file was closed";
    DeleteFileA(path);
}

}  // namespace
