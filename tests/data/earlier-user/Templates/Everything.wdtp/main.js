// The moment counted down to, in local time.
var target = new Date(Template_Target_Y, Number("Template_Target_m") - 1, Number("Template_Target_d"),
                      Number("Template_Target_H"), Number("Template_Target_M"), Number("Template_Target_S"));

function pad(number)
{
	return (number < 10 ? "0" : "") + number;
}

function tick()
{
	var seconds = Math.max(0, Math.floor((target - new Date()) / 1000));
	var days = Math.floor(seconds / 86400);
	var text = pad(Math.floor(seconds / 3600) % 24) + ":" + pad(Math.floor(seconds / 60) % 60) + ":" + pad(seconds % 60);
	document.getElementById("left").textContent = seconds == 0 ? "Now!" : (days > 0 ? days + " d " : "") + text;
}

function setup()
{
	tick();
	setInterval(tick, 1000);
}
var showClock = Template_Show Clock;
