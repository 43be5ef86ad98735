#include "designfiles/builtin_templates.h"

// A plausible Rodstar design whose values agree with the rod material catalogue; the writer
// fills in only the well name.
const char* const RodstarTemplate = R"xml(<?xml version="1.0" encoding="utf-8"?>
<r:rodstar-data xmlns:r="urn:tesk:rodstar-design" r:version="3.4">
	<r:file-info>
		<r:created-by>tesk design library</r:created-by>
		<r:units>English</r:units>
		<r:comment>Built-in export template: a three-taper steel string in a slightly deviated well.</r:comment>
	</r:file-info>
	<r:input>
		<r:well-name>NEW WELL</r:well-name>
		<r:company-name>COMPANY</r:company-name>
		<r:field-name>FIELD</r:field-name>
		<r:user-name>ENGINEER</r:user-name>
		<r:calculation-mode>predictive</r:calculation-mode>
		<r:pumping-speed>8.5</r:pumping-speed>
		<r:speed-variation>0</r:speed-variation>
		<r:fluid-damping>0.1</r:fluid-damping>
		<r:rod-damping-up>0.05</r:rod-damping-up>
		<r:rod-damping-down>0.05</r:rod-damping-down>
		<r:fluid-level>4200</r:fluid-level>
		<r:fluid-level-known>true</r:fluid-level-known>
		<r:fluid-spgr>0.95</r:fluid-spgr>
		<r:water-cut>60</r:water-cut>
		<r:water-spgr>1.05</r:water-spgr>
		<r:oil-api-gravity>38</r:oil-api-gravity>
		<r:fluid-viscosity>1</r:fluid-viscosity>
		<r:plunger-size>1.75</r:plunger-size>
		<r:pump-type>insert</r:pump-type>
		<r:pump-friction>200</r:pump-friction>
		<r:pump-efficiency>85</r:pump-efficiency>
		<r:pump-load-adjustment>0</r:pump-load-adjustment>
		<r:tubing-pressure>100</r:tubing-pressure>
		<r:casing-pressure>50</r:casing-pressure>
		<r:stuffing-box-friction>100</r:stuffing-box-friction>
		<r:pumping-unit>
			<r:unit-type>conventional</r:unit-type>
			<r:unit-id>C-320D-256-120</r:unit-id>
			<r:manufacturer>GENERIC</r:manufacturer>
			<r:stroke-length>120</r:stroke-length>
			<r:crank-rotation>clockwise</r:crank-rotation>
			<r:structural-unbalance>450</r:structural-unbalance>
			<r:crank-hole>3</r:crank-hole>
			<r:counterbalance-effect>0</r:counterbalance-effect>
		</r:pumping-unit>
		<r:prime-mover>
			<r:motor-type>NEMA D</r:motor-type>
			<r:motor-size>40</r:motor-size>
			<r:power-cost>0.08</r:power-cost>
			<r:electricity-metering>net</r:electricity-metering>
		</r:prime-mover>
		<r:deviation-survey>
			<r:survey-point Order="1">
				<r:measured-depth>0</r:measured-depth>
				<r:inclination>0</r:inclination>
				<r:azimuth>0</r:azimuth>
			</r:survey-point>
			<r:survey-point Order="2">
				<r:measured-depth>1500</r:measured-depth>
				<r:inclination>1.5</r:inclination>
				<r:azimuth>45</r:azimuth>
			</r:survey-point>
			<r:survey-point Order="3">
				<r:measured-depth>3000</r:measured-depth>
				<r:inclination>3.2</r:inclination>
				<r:azimuth>60</r:azimuth>
			</r:survey-point>
			<r:survey-point Order="4">
				<r:measured-depth>5500</r:measured-depth>
				<r:inclination>4.1</r:inclination>
				<r:azimuth>75</r:azimuth>
			</r:survey-point>
		</r:deviation-survey>
		<r:rod-tapers>
			<r:rod-taper Order="1">
				<r:taper-length>1400</r:taper-length>
				<r:taper-size>1</r:taper-size>
				<r:rodtype-steel>NORRIS 97</r:rodtype-steel>
				<r:rodtype-fiberglass></r:rodtype-fiberglass>
				<r:taper-tensile-strength>140000</r:taper-tensile-strength>
				<r:service-factor>0.9</r:service-factor>
				<r:rod-guides>none</r:rod-guides>
			</r:rod-taper>
			<r:rod-taper Order="2">
				<r:taper-length>1650</r:taper-length>
				<r:taper-size>0.875</r:taper-size>
				<r:rodtype-steel>NORRIS 97</r:rodtype-steel>
				<r:rodtype-fiberglass></r:rodtype-fiberglass>
				<r:taper-tensile-strength>140000</r:taper-tensile-strength>
				<r:service-factor>0.9</r:service-factor>
				<r:rod-guides>none</r:rod-guides>
			</r:rod-taper>
			<r:rod-taper Order="3">
				<r:taper-length>2450</r:taper-length>
				<r:taper-size>0.75</r:taper-size>
				<r:rodtype-steel>NORRIS 97</r:rodtype-steel>
				<r:rodtype-fiberglass></r:rodtype-fiberglass>
				<r:taper-tensile-strength>140000</r:taper-tensile-strength>
				<r:service-factor>0.9</r:service-factor>
				<r:rod-guides>molded</r:rod-guides>
			</r:rod-taper>
		</r:rod-tapers>
		<r:tubing>
			<r:tubing-od>2.875</r:tubing-od>
			<r:tubing-id>2.441</r:tubing-id>
			<r:tubing-weight>6.5</r:tubing-weight>
			<r:tubing-anchored>true</r:tubing-anchored>
		</r:tubing>
		<r:tubing-anchor-depth>5450</r:tubing-anchor-depth>
		<r:pump-depth>5500</r:pump-depth>
		<r:pump-intake-pressure>0</r:pump-intake-pressure>
		<r:production>
			<r:target-production>120</r:target-production>
			<r:run-time>24</r:run-time>
			<r:gas-interference>none</r:gas-interference>
		</r:production>
	</r:input>
</r:rodstar-data>)xml";
