// A growable array of tags for the command's routines. It doubles as it grows and answers false when memory runs out,
// so the caller can show its out-of-memory message; it releases its memory when it goes out of scope.
#ifndef MY_FUNC_TAG_ARRAY_H
#define MY_FUNC_TAG_ARRAY_H

#include <cstdlib>

#include "host/uf_types.h"

struct tag_array {
    tag_t *items = NULL;
    int count = 0;
    int capacity = 0;

    tag_array() = default;
    tag_array(const tag_array &) = delete;
    tag_array &operator=(const tag_array &) = delete;
    ~tag_array() { std::free(items); }

    bool append(tag_t tag) {
        if (count == capacity) {
            const int wanted = capacity == 0 ? 16 : capacity * 2;
            tag_t *grown = static_cast<tag_t *>(std::realloc(items, sizeof(tag_t) * wanted));
            if (grown == NULL) return false;
            items = grown;
            capacity = wanted;
        }
        items[count++] = tag;
        return true;
    }
};

#endif
