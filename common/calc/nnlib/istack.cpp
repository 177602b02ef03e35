#include "calc/nnlib/istack.h"

#include <cstdlib>
#include <new>

namespace {
constexpr int Step = 50;
}

istack* istack_create()
{
    istack* s = static_cast<istack*>(std::malloc(sizeof(istack)));
    if (!s)
        throw std::bad_alloc();
    s->n = 0;
    s->nallocated = Step;
    s->v = static_cast<int*>(std::malloc(Step * sizeof(int)));
    if (!s->v) {
        std::free(s);
        throw std::bad_alloc();
    }
    return s;
}

void istack_destroy(istack* s)
{
    if (!s)
        return;
    std::free(s->v);
    std::free(s);
}

void istack_reset(istack* s) { s->n = 0; }

void istack_push(istack* s, int value)
{
    if (s->n == s->nallocated) {
        int* grown = static_cast<int*>(std::realloc(s->v, (s->nallocated + Step) * sizeof(int)));
        if (!grown)
            throw std::bad_alloc();
        s->v = grown;
        s->nallocated += Step;
    }
    s->v[s->n++] = value;
}

int istack_pop(istack* s) { return s->v[--s->n]; }

bool istack_contains(const istack* s, int value)
{
    for (int i = 0; i < s->n; ++i)
        if (s->v[i] == value)
            return true;
    return false;
}
