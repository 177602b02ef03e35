#include "data/RuntimeRandom.h"

TRuntimeRandom &RuntimeRandom()
{
  static TRuntimeRandom shared(1);
  return shared;
}
