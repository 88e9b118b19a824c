#include "support/DialogLook.h"

#include <cstdint>
#include <cstring>

namespace {

// Walks the packed template: WORD-aligned strings and ordinals, DWORD-aligned items.
class Reader {
public:
    explicit Reader(const BYTE* start) : base(start), at(start) {}

    template <typename T> T Get()
    {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }

    std::string String()
    {
        std::string text;
        for (WORD c; (c = Get<WORD>()) != 0;)
            text += static_cast<char>(c < 0x100 ? c : '?');
        return text;
    }

    // A string, or 0xFFFF and an ordinal, given back as "#n".
    std::string StringOrOrdinal()
    {
        WORD first = Get<WORD>();
        if (first == 0xFFFF)
            return "#" + std::to_string(Get<WORD>());
        at -= sizeof(WORD);
        return String();
    }

    void AlignDword() { at = base + ((at - base + 3) & ~static_cast<std::uintptr_t>(3)); }
    void Skip(size_t n) { at += n; }

private:
    const BYTE* base;
    const BYTE* at;
};

std::string ClassName(const std::string& name)
{
    static const char* const predefined[] = {"BUTTON", "EDIT", "STATIC",
                                             "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (name.size() > 1 && name[0] == '#') {
        int ordinal = std::stoi(name.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return predefined[ordinal - 0x80];
    }
    return name;
}

TemplateItem ReadItem(Reader& r)
{
    TemplateItem item;
    r.AlignDword();
    r.Get<DWORD>();  // help ID
    item.exStyle = r.Get<DWORD>();
    item.style = r.Get<DWORD>();
    item.x = r.Get<short>();
    item.y = r.Get<short>();
    item.cx = r.Get<short>();
    item.cy = r.Get<short>();
    item.id = static_cast<int>(r.Get<DWORD>());
    if (item.id == 0xFFFF)
        item.id = -1;
    item.className = ClassName(r.StringOrOrdinal());
    item.text = r.StringOrOrdinal();
    r.Skip(r.Get<WORD>());  // creation data
    return item;
}

}  // namespace

bool ReadDialogTemplate(HINSTANCE instance, int id, DialogTemplate& dialog)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    Reader r(data);
    if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF)
        return false;
    r.Get<DWORD>();  // help ID
    dialog.exStyle = r.Get<DWORD>();
    dialog.style = r.Get<DWORD>();
    WORD count = r.Get<WORD>();
    r.Get<short>();
    r.Get<short>();
    dialog.cx = r.Get<short>();
    dialog.cy = r.Get<short>();
    r.StringOrOrdinal();  // menu
    r.StringOrOrdinal();  // window class
    dialog.title = r.String();
    dialog.pointSize = 0;
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = r.Get<WORD>();
        r.Get<WORD>();  // weight
        r.Get<BYTE>();  // italic
        r.Get<BYTE>();  // character set
        dialog.font = r.String();
    }
    dialog.items.clear();
    for (int i = 0; i < count; ++i)
        dialog.items.push_back(ReadItem(r));
    return true;
}

BoxLook LookAt(HWND box)
{
    BoxLook look{{}, false};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (!IsWindowVisible(child))
            continue;
        if (lstrcmpiA(className, "Button") == 0)
            look.buttons.push_back(GetDlgCtrlID(child));
        else if (lstrcmpiA(className, "Static") == 0 && SendMessageA(child, STM_GETICON, 0, 0))
            look.icon = true;
    }
    return look;
}
