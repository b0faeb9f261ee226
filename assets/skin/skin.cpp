#include "assets/skin/skin.h"

namespace skin {

const Bitmap& SkinSet::Add(std::string path, Bitmap bitmap) {
    entries_.push_back({std::move(path), std::move(bitmap)});
    return entries_.back().bitmap;
}

const Bitmap* SkinSet::Find(const std::string& path) const {
    for (const Entry& e : entries_)
        if (e.path == path) return &e.bitmap;
    return nullptr;
}

Bitmap DrawOver(int w, int h, uint32_t key, uint32_t underHex, const DrawFn& draw) {
    Layer layer(w, h);
    draw(layer.cr());
    Under under;
    under.colour = FromHex(underHex);
    return Flatten(layer, under, key);
}

Bitmap DrawWindow(int w, int h, uint32_t key, const DrawFn& draw) { return DrawOver(w, h, key, pal::kEdge, draw); }

Bitmap DrawControl(const Bitmap& parent, int x, int y, int w, int h, uint32_t key, const DrawFn& draw) {
    Layer layer(w, h);
    draw(layer.cr());
    Under under;
    under.parent = &parent;
    under.x = x;
    under.y = y;
    under.colour = FromHex(pal::kEdge);
    return Flatten(layer, under, key);
}

void AddPair(SkinSet& set, const std::string& hot, const std::string& normal, const Bitmap& parent, int x, int y,
             int w, int h, uint32_t key, const DrawStateFn& draw) {
    set.Add(hot, DrawControl(parent, x, y, w, h, key, [&](cairo_t* cr) { draw(cr, State::Hot); }));
    set.Add(normal, DrawControl(parent, x, y, w, h, key, [&](cairo_t* cr) { draw(cr, State::Normal); }));
}

}  // namespace skin
