// What the plug-ins and their editor share to talk: the mapped URIs of the
// messages and atoms they exchange, and bounded walks through the atoms the
// other side (or a host) hands over.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>

#include "lv2/Lv2Ports.h"

namespace lv2port {

struct MessageUris {
    explicit MessageUris(const LV2_URID_Map& map)
        : sequence(map.map(map.handle, LV2_ATOM__Sequence)),
          frameTime(map.map(map.handle, LV2_ATOM__frameTime)),
          eventTransfer(map.map(map.handle, LV2_ATOM__eventTransfer)),
          object(map.map(map.handle, LV2_ATOM__Object)),
          blank(map.map(map.handle, LV2_ATOM__Blank)),
          atomInt(map.map(map.handle, LV2_ATOM__Int)),
          atomFloat(map.map(map.handle, LV2_ATOM__Float)),
          atomString(map.map(map.handle, LV2_ATOM__String)),
          tuple(map.map(map.handle, LV2_ATOM__Tuple)),
          vector(map.map(map.handle, LV2_ATOM__Vector)),
          command(map.map(map.handle, kCommandType)),
          commandKey(map.map(map.handle, kCommandKey)),
          valueKey(map.map(map.handle, kValueKey)),
          textKey(map.map(map.handle, kTextKey)),
          programs(map.map(map.handle, kProgramsType)),
          levels(map.map(map.handle, kLevelsType)),
          program(map.map(map.handle, kProgramKey)),
          namesKey(map.map(map.handle, kNamesKey)),
          valuesKey(map.map(map.handle, kValuesKey)) {}
    LV2_URID sequence, frameTime, eventTransfer, object, blank, atomInt, atomFloat, atomString, tuple, vector;
    LV2_URID command, commandKey, valueKey, textKey, programs, levels, program, namesKey, valuesKey;
};

// The data of a feature the host passes, or null (also for a feature
// passed without data: found tells those apart).
inline const void* findFeature(const LV2_Feature* const* features, const char* uri, bool* found = nullptr) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) {
            if (found) *found = true;
            return (*f)->data;
        }
    if (found) *found = false;
    return nullptr;
}

// Calls f(child) for every whole atom in size bytes of atoms one after the
// other (a tuple's body), each padded to 8 bytes; stops at one running past.
template <typename F>
void forEachAtom(const std::uint8_t* atoms, std::uint32_t size, F f) {
    std::uint64_t offset = 0;
    while (offset + sizeof(LV2_Atom) <= size) {
        const auto* atom = reinterpret_cast<const LV2_Atom*>(atoms + offset);
        const std::uint64_t end = offset + sizeof(LV2_Atom) + std::uint64_t{atom->size};
        if (end > size) return;
        f(*atom);
        offset = (end + 7u) & ~std::uint64_t{7u};
    }
}

// The object type of an object atom, 0 for any other atom; then f(key,
// value) for each of its whole properties.
template <typename F>
LV2_URID forEachProperty(const LV2_Atom& atom, const MessageUris& uris, F f) {
    if ((atom.type != uris.object && atom.type != uris.blank) || atom.size < sizeof(LV2_Atom_Object_Body)) return 0;
    const auto* object = reinterpret_cast<const LV2_Atom_Object_Body*>(&atom + 1);
    const auto* base = reinterpret_cast<const std::uint8_t*>(object);
    std::uint64_t offset = sizeof(LV2_Atom_Object_Body);
    while (offset + sizeof(LV2_Atom_Property_Body) <= atom.size) {
        const auto* p = reinterpret_cast<const LV2_Atom_Property_Body*>(base + offset);
        const std::uint64_t end = offset + sizeof(LV2_Atom_Property_Body) + std::uint64_t{p->value.size};
        if (end > atom.size) break;
        f(p->key, p->value);
        offset = (end + 7u) & ~std::uint64_t{7u};
    }
    return object->otype;
}

// An atom:Int's value, or false for any other atom.
inline bool intOf(const LV2_Atom& atom, const MessageUris& uris, std::int32_t* value) {
    if (atom.type != uris.atomInt || atom.size != sizeof(std::int32_t)) return false;
    std::memcpy(value, &atom + 1, sizeof(std::int32_t));
    return true;
}

}  // namespace lv2port
