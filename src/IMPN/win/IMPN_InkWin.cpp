#include "IMPN/IMPN_Ink.h"

double IMPN_Ink::OpacityProduct(int value, int percent) {
  return (percent * 0.01) * value;
}
