// TPicture's file formats, and TIcon.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "GdiTestUtil.h"
#include "TempFolder.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Graphic.h"
#include "ui/Icon.h"
#include "ui/Stream.h"

using namespace ui;
using gditest::Hex;
using gditest::PixelAt;
using gditest::Put16;
using gditest::Put32;

namespace {

// A 32-bit icon of size n: `colour` with alpha 255 in the left half, fully
// transparent in the right half.
HICON MakeIcon(int n, TColor colour) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), n, -n, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> color(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* px = static_cast<uint32_t*>(bits);
    const uint32_t argb = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) px[y * n + x] = x < n / 2 ? argb : 0;
    std::vector<uint8_t> zeros(size_t(n) * size_t(n) / 8 + 16, 0);
    ScopedGdiObject<HBITMAP> mask(CreateBitmap(n, n, 1, 1, zeros.data()));
    ICONINFO ii{TRUE, 0, 0, mask, color};
    return CreateIconIndirect(&ii);
}

// An .ico file of opaque square images, one per (size, colour).
std::vector<uint8_t> MakeIco(const std::vector<std::pair<int, TColor>>& images) {
    std::vector<std::vector<uint8_t>> bodies;
    for (auto [n, c] : images) {
        std::vector<uint8_t> b;
        Put32(b, 40);
        Put32(b, uint32_t(n));
        Put32(b, uint32_t(2 * n));
        Put16(b, 1);
        Put16(b, 32);
        for (int i = 0; i < 6; ++i) Put32(b, 0);
        for (int i = 0; i < n * n; ++i) {
            b.push_back(GetBValue(c));
            b.push_back(GetGValue(c));
            b.push_back(GetRValue(c));
            b.push_back(0xFF);
        }
        b.resize(b.size() + size_t((n + 31) / 32 * 4) * size_t(n), 0);
        bodies.push_back(b);
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].first));
        out.push_back(uint8_t(images[i].first));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, uint32_t(bodies[i].size()));
        Put32(out, offset);
        offset += uint32_t(bodies[i].size());
    }
    for (const auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
    return out;
}

void LoadBytes(TGraphic& g, const std::vector<uint8_t>& bytes) {
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    g.LoadFromStream(&m);
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    TFileStream f(name, fmCreate);
    f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// The icon drawn at its own size over green.
std::unique_ptr<TBitmap> Render(TIcon& icon) {
    auto b = std::make_unique<TBitmap>(icon.Width(), icon.Height());
    b->Canvas()->Brush()->SetColor(clGreen);
    b->Canvas()->FillRect(Rect(0, 0, icon.Width(), icon.Height()));
    b->Canvas()->Draw(0, 0, &icon);
    return b;
}

// A registered format of the tests' own: the file's bytes as a string.
class TTextGraphic : public TGraphic {
public:
    void Draw(TCanvas*, const TRect&) override {}
    int Width() const override { return static_cast<int>(text.size()); }
    void SetWidth(int) override {}
    int Height() const override { return 1; }
    void SetHeight(int) override {}
    bool Empty() const override { return text.empty(); }
    void LoadFromStream(TStream* s) override {
        text.resize(static_cast<size_t>(s->Size() - s->Position()));
        s->ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    }
    void SaveToStream(TStream* s) override { s->WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }
    void Assign(TPersistent* src) override {
        if (auto* t = dynamic_cast<TTextGraphic*>(src))
            text = t->text;
        else
            TGraphic::Assign(src);
    }
    std::string text;
};

struct ChangeCounter {
    int count = 0;
    void Changed(TObject*) { ++count; }
};

}  // namespace

TEST(Picture, PicksTheGraphicClassByExtension) {
    TPicture::RegisterFileFormat<TTextGraphic>("tst", "Test texts");
    struct Case {
        const char* extension;
        const std::type_info* expected;  // null: no class
    };
    const std::vector<Case> cases = {
        {"bmp", &typeid(TBitmap)},      {"BMP", &typeid(TBitmap)}, {"ico", &typeid(TIcon)},
        {"Tst", &typeid(TTextGraphic)}, {"xyz", nullptr},          {"", nullptr},
    };
    for (const Case& t : cases) {
        std::unique_ptr<TGraphic> g(TPicture::CreateGraphicForExtension(t.extension));
        if (!t.expected) {
            EXPECT_EQ(g, nullptr) << t.extension;
            continue;
        }
        ASSERT_NE(g, nullptr) << t.extension;
        EXPECT_EQ(typeid(*g), *t.expected) << t.extension;
    }
    EXPECT_EQ(TPicture::FileFormatDescription("tst"), "Test texts");

    TempFolder dir;
    WriteFile(dir.File("note.tst"), {'h', 'i'});
    TPicture p;
    p.LoadFromFile(dir.File("note.tst"));
    auto* text = dynamic_cast<TTextGraphic*>(p.Graphic());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, "hi");

    TPicture::UnregisterGraphicClass<TTextGraphic>();
    EXPECT_EQ(TPicture::CreateGraphicForExtension("tst"), nullptr);
    EXPECT_NE(std::unique_ptr<TGraphic>(TPicture::CreateGraphicForExtension("bmp")), nullptr)
        << "unregistering one class leaves the others";
}

TEST(Picture, LoadsFilesAndRejectsUnknownExtensions) {
    TempFolder dir;
    TBitmap source(3, 2);
    source.SaveToFile(dir.File("one.BMP"));
    WriteFile(dir.File("broken.bmp"), {'B', 'M', 1, 2, 3});
    WriteFile(dir.File("picture.xyz"), {1, 2, 3});

    TPicture p;
    ChangeCounter changes;
    p.OnChange = TNotifyEvent(&changes, &ChangeCounter::Changed);
    p.LoadFromFile(dir.File("one.BMP"));
    ASSERT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Height(), 2);
    EXPECT_EQ(changes.count, 1);

    struct Case {
        const char* file;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"picture.xyz", "Unknown picture file extension (.xyz)"},
        {"noextension", "Unknown picture file extension (.)"},
        {"broken.bmp", "Bitmap image is not valid"},
    };
    for (const Case& t : cases) {
        try {
            p.LoadFromFile(dir.File(t.file));
            ADD_FAILURE() << t.file << " was accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), t.message);
        }
        EXPECT_EQ(p.Width(), 3) << t.file << ": a failed load must keep the picture";
    }
}

TEST(Picture, KeepsCopiesAndForcesTheClassAskedFor) {
    TBitmap b(2, 2);
    TPicture p;
    p.SetGraphic(&b);
    ASSERT_NE(p.Graphic(), &b) << "the picture keeps a copy";
    b.SetSize(5, 5);
    EXPECT_EQ(p.Width(), 2);

    ChangeCounter changes;
    p.OnChange = TNotifyEvent(&changes, &ChangeCounter::Changed);
    p.Bitmap()->Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(changes.count, 1) << "drawing on the held bitmap changes the picture";

    TIcon* icon = p.Icon();
    EXPECT_TRUE(icon->Empty()) << "asking for an icon replaces the bitmap by an empty icon";
    EXPECT_EQ(p.Width(), 0);

    TPicture q;
    icon->SetHandle(MakeIcon(16, clRed));
    q.Assign(&p);
    EXPECT_EQ(q.Width(), 16);
    q.Assign(nullptr);
    EXPECT_EQ(q.Graphic(), nullptr);
}

TEST(Icon, TakesAHandleAndDrawsWithItsAlpha) {
    TIcon icon;
    icon.SetHandle(MakeIcon(16, clRed));
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    EXPECT_TRUE(icon.Transparent());
    auto out = Render(icon);
    EXPECT_EQ(Hex(PixelAt(*out, 2, 8)), Hex(clRed));
    EXPECT_EQ(Hex(PixelAt(*out, 12, 8)), Hex(clGreen)) << "the transparent half must show the background";
    EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

    TMemoryStream m;
    icon.SaveToStream(&m);
    m.SetPosition(0);
    TIcon copy;
    copy.LoadFromStream(&m);
    EXPECT_EQ(copy.Width(), 16);
    auto again = Render(copy);
    EXPECT_EQ(Hex(PixelAt(*again, 2, 8)), Hex(clRed)) << "after a stream round trip";
    EXPECT_EQ(Hex(PixelAt(*again, 12, 8)), Hex(clGreen)) << "after a stream round trip";

    const HICON h = icon.ReleaseHandle();
    EXPECT_TRUE(icon.Empty());
    EXPECT_TRUE(DestroyIcon(h)) << "a released handle is the caller's";
}

TEST(Icon, ReadsTheImageNearestTheSystemIconSize) {
    const std::vector<uint8_t> ico = MakeIco({{16, clRed}, {32, clBlue}, {48, clLime}});
    TIcon icon;
    LoadBytes(icon, ico);
    const int want = GetSystemMetrics(SM_CXICON);
    ASSERT_EQ(icon.Width(), want);
    auto out = Render(icon);
    EXPECT_EQ(Hex(PixelAt(*out, want / 2, want / 2)), Hex(want == 32 ? clBlue : want == 16 ? clRed : clLime));
    TMemoryStream m;
    icon.SaveToStream(&m);
    ASSERT_EQ(m.Size(), static_cast<int64_t>(ico.size()));
    EXPECT_EQ(std::memcmp(m.Memory(), ico.data(), ico.size()), 0) << "a loaded file is written back unchanged";
}

TEST(Icon, RejectsDamagedFilesAndKeepsTheIcon) {
    const std::vector<uint8_t> good = MakeIco({{16, clRed}});
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> v = good;
        std::copy(bytes.begin(), bytes.end(), v.begin() + std::ptrdiff_t(at));
        return v;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"reserved word set", patched(0, {1})},
        {"a cursor", patched(2, {2})},
        {"no images", patched(4, {0, 0})},
        {"too short for its directory", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
        {"image data said to lie in the directory", patched(18, {4, 0, 0, 0})},
        {"image data past the end", std::vector<uint8_t>(good.begin(), good.end() - 10)},
        {"a huge image size", patched(14, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"image data that is no picture", patched(22, {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'})},
    };
    for (const Case& t : cases) {
        TIcon icon;
        icon.SetHandle(MakeIcon(16, clRed));
        const HICON before = icon.Handle();
        try {
            LoadBytes(icon, t.bytes);
            ADD_FAILURE() << t.name << ": accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Icon image is not valid") << t.name;
        } catch (const std::exception& e) {
            ADD_FAILURE() << t.name << ": wrong exception " << e.what();
        }
        EXPECT_EQ(icon.Handle(), before) << t.name << ": a failed load must keep the icon";
    }
}
