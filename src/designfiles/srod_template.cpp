#include "designfiles/builtin_templates.h"

// A plausible SROD design in imperial units whose values agree with the rod material catalogue;
// the writer fills in only the well name.
const char* const SrodTemplate = R"xml(<?xml version="1.0" encoding="utf-8"?>
<SrodDesign FormatVersion="8.1">
	<Case>
		<CaseName>Base case</CaseName>
		<WellName>NEW WELL</WellName>
		<CompanyName>COMPANY</CompanyName>
		<FieldName>FIELD</FieldName>
		<Comments>Built-in export template: a three-taper steel string in a slightly deviated well.</Comments>
		<UnitsSelection>1</UnitsSelection>
		<CalculationMethod>WaveEquation</CalculationMethod>
		<PumpingSpeed>8.5</PumpingSpeed>
		<UpStrokeDampingFactor>0.1</UpStrokeDampingFactor>
		<DownStrokeDampingFactor>0.15</DownStrokeDampingFactor>
		<PumpDepth>5500</PumpDepth>
		<TrueFluidDepth>1300</TrueFluidDepth>
		<WaterCut>60</WaterCut>
		<WaterSpecificGravity>1.05</WaterSpecificGravity>
		<OilAPIGravity>38</OilAPIGravity>
		<PumpType>Insert</PumpType>
		<PumpDiameter>1.75</PumpDiameter>
		<PumpCPumpPlungerLength>48</PumpCPumpPlungerLength>
		<PumpCPumpPlungerClearance>0.003</PumpCPumpPlungerClearance>
		<PumpEfficiency>85</PumpEfficiency>
		<PumpFrictionLoad>200</PumpFrictionLoad>
		<FlowlinePressure>100</FlowlinePressure>
		<CasingHeadPressure>50</CasingHeadPressure>
		<StuffingBoxFriction>100</StuffingBoxFriction>
		<PumpingUnitType>Conventional</PumpingUnitType>
		<PumpingUnitID>C-320D-256-120</PumpingUnitID>
		<PumpingUnitManufacturer>GENERIC</PumpingUnitManufacturer>
		<StrokeLength>120</StrokeLength>
		<CrankRotation>Clockwise</CrankRotation>
		<StructuralUnbalance>450</StructuralUnbalance>
		<CrankHole>3</CrankHole>
		<MotorType>NEMA D</MotorType>
		<MotorSize>40</MotorSize>
		<PowerCost>0.08</PowerCost>
		<DeviationDataCount>4</DeviationDataCount>
		<MeasuredDepthArray>0:1500:3000:5500</MeasuredDepthArray>
		<InclinationFromVerticalArray>0:1.5:3.2:4.1</InclinationFromVerticalArray>
		<AzimuthFromNorthArray>0:45:60:75</AzimuthFromNorthArray>
		<TaperCount>3</TaperCount>
		<RodTypeArray>7:7:7</RodTypeArray>
		<TaperDiameterArray>1:0.875:0.75</TaperDiameterArray>
		<TaperLengthArray>1400:1650:2450</TaperLengthArray>
		<TaperModulusArray>30.5:30.5:30.5</TaperModulusArray>
		<TaperWeightArray>2.904:2.224:1.634</TaperWeightArray>
		<TaperServiceFactorArray>0.9:0.9:0.9</TaperServiceFactorArray>
		<RodGuideArray>None:None:Molded</RodGuideArray>
		<TubingSize>2.875</TubingSize>
		<TubingInnerDiameter>2.441</TubingInnerDiameter>
		<TubingWeight>6.5</TubingWeight>
		<TubingAnchored>1</TubingAnchored>
		<TubingAnchorLocation>5450</TubingAnchorLocation>
		<TargetProduction>120</TargetProduction>
		<RunTime>24</RunTime>
	</Case>
</SrodDesign>)xml";
