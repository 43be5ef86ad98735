#pragma once

// One finite-difference node of a card's rod string. Node j spans from the sum of the
// dx of nodes 0..j-1 to its lower end `depth`; grid point j+1 lies at that lower end.
struct FeaNode {
    double depth;        // ft
    double dx;           // ft
    double kNode;        // lb/ft, own EA/dx
    double areaFt2;      // ft2
    double modulusPsf;   // lb/ft2
    double density;      // lb/ft3
    double predMass;     // predictive second pass (0 on node 0)
    double predDamp;
    double predKAbove;
    double predKNode;
    double eaNode;       // lb
    double eaAbove;      // lb
    double wpfNode;      // lb/ft
    double nodeCUpDt;
    double nodeCDnDt;
    double legacyMass;
    double diagUpLater;  // lb/ft
    double diagUpNow;
    double diagDnLater;
    double diagDnNow;
    double diagEarlier;
    double diagAbove;
    double weightBelow;  // lb, buoyant rod weight below the node's lower end
    double fluidLoad;    // lb
};
