#include "machine/registers.h"

#include <cstdio>

namespace cm {

CoffeeRequest coffeeData{0, 0};
CoffeeRequest nonData{0, 0};

int concentrateData = 0;
int temperatureData = 0;
int timeData = 0;
int isReserve = 0;
int isPowderRemain = 0;

int isRotate = 0, isSpin = 0, isShower = 0, isGrind = 0, isBoil = 0, isMake = 0;
int cleanData = 0, powerData = 0;
int _isRotate = 0, _isSpin = 0, _isShower = 0, _isBoil = 0, _isMake = 0;

void resetRegisters() {
  coffeeData = nonData = {0, 0};
  concentrateData = temperatureData = timeData = isReserve = isPowderRemain = 0;
  isRotate = isSpin = isShower = isGrind = isBoil = isMake = 0;
  cleanData = powerData = 0;
  _isRotate = _isSpin = _isShower = _isBoil = _isMake = 0;
}

const Concentrate* concentrateOf(int code) {
  for (const Concentrate& concentrate : kConcentrates) {
    if (concentrate.code == code) return &concentrate;
  }
  return nullptr;
}

int concentrateInterface(int code) { return concentrateData = code; }
int temperatureInterface(int code) { return temperatureData = code; }

int timeInterface(int stamp) {
  timeData = stamp;
  isReserve = 1;
  return stamp;
}

int cleanInterface() { return cleanData = 1; }
int powerInterface() { return powerData = 1; }

// Every simulated actuator succeeds; a failing one would return anything
// other than 1.
int rotateInterface() { return isRotate = 1; }
int spinInterface() { return isSpin = 1; }
int showerInterface() { return isShower = 1; }
int grindInterface() { return isGrind = 1; }
int boilInterface() { return isBoil = 1; }
int makeInterface() { return isMake = 1; }

void pushCoffeeData(int concentrate, int temperature) { coffeeData = {concentrate, temperature}; }
CoffeeRequest popCoffeeData() { return coffeeData; }

void speakInterface() { std::puts("\a"); }

}  // namespace cm
