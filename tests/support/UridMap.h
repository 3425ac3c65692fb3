// A host's URID map (and unmap) for the LV2 tests: URIs numbered from 1 in
// the order they are first asked for.
#pragma once

#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace testing_support {

class UridMap {
public:
    UridMap() {
        map_.handle = this;
        map_.map = [](LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->id(uri); };
        unmap_.handle = this;
        unmap_.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) {
            auto* self = static_cast<UridMap*>(handle);
            return urid >= 1 && urid <= self->uris_.size() ? self->uris_[urid - 1].c_str() : nullptr;
        };
    }
    LV2_URID id(const char* uri) {
        for (std::size_t i = 0; i < uris_.size(); ++i)
            if (uris_[i] == uri) return static_cast<LV2_URID>(i + 1);
        uris_.emplace_back(uri);
        return static_cast<LV2_URID>(uris_.size());
    }
    LV2_URID_Map* map() { return &map_; }
    LV2_URID_Unmap* unmap() { return &unmap_; }

private:
    std::vector<std::string> uris_;
    LV2_URID_Map map_{};
    LV2_URID_Unmap unmap_{};
};

}  // namespace testing_support
