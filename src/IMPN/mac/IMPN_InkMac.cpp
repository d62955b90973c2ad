#include "IMPN/IMPN_Ink.h"

double IMPN_Ink::OpacityProduct(int value, int percent) {
  return (percent / 100.0) * value;
}
