// Whether the widget shows the time under its greeting.
var showClock = Template_Show Clock;

function tick()
{
	document.getElementById("clock").textContent = new Date().toLocaleTimeString();
}

function setup()
{
	if (!showClock)
		return;
	tick();
	setInterval(tick, 1000);
}
