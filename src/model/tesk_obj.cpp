#include "model/tesk_obj.h"

#include <cfloat>
#include <new>

#include "engine/fourier.h"
#include "log/log.h"

void SetDefaultPumpingUnit(PumpingUnit* pu) {
    *pu = PumpingUnit{};
    pu->rotation = 1;
    pu->A = 129.0;
    pu->P = 132.0;
    pu->C = 111.07205;
    pu->I = 111.0;
    pu->K = 175.55;
    pu->R = 42.0;
    pu->gearboxRating = 320000.0;
    pu->structureRating = 29800.0;
    pu->maxStroke = 100.0;
    pu->unitType = 'C';
    pu->cbe = 15418.0;
    pu->structUnbalance = 550.0;
    pu->reserved = 0;
    pu->airPressure = DBL_MIN;
    pu->airArea = DBL_MIN;
    pu->airPressureBase = DBL_MIN;
    pu->polishedStroke = 100.0;
    DerivePuGeometry(pu);
}

TeskObj::TeskObj() {
    SetDefaultPumpingUnit(&pu);
    fourier = NewCardFourierFit();
    if (fourier == nullptr) throw std::bad_alloc();
    meas.intermediate.enabled = 1;
    meas.diagNodeLength = 25.0;
    meas.nodesPerSection = 4;
    upsc.intermediate.enabled = 0;
    upsc.diagNodeLength = 25.0;
    upsc.nodesPerSection = 4;
    pred.intermediate.enabled = 1;
    pred.predNodeLength = 1000.0;
    pred.nodesPerSection = 10;
    pred.desiredPointCount = 200;
}

TeskObj::~TeskObj() {
    FreeCardFourierFit(fourier);
    fourier = nullptr;
}

void PrintTeskObjSummary(TeskObj* obj) {
    LogMessage("Well Name: %s", obj->wellName);
    LogMessage("Well Depth: %0.2f", obj->wellDepth);
    LogMessage("Fo: %0.2f", obj->fo);
    LogMessage("Fillage: % 0.0f %%", obj->fillage * 100);
    LogMessage("--------------");
    PrintWaveModel(&obj->pred);
    LogMessage("--------------");
    PrintWaveModel(&obj->meas);
    LogMessage("--------------");
}
