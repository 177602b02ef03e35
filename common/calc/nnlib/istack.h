#pragma once

// Growable stack of ints (grows by 50).
struct istack {
    int n;
    int nallocated;
    int* v;
};

istack* istack_create();
void istack_destroy(istack* s);
void istack_reset(istack* s);
void istack_push(istack* s, int value);
int istack_pop(istack* s);
bool istack_contains(const istack* s, int value);
