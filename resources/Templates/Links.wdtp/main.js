// Opens a link in the desktop's browser when the widget runtime offers it.
function openLink(address)
{
	address = address.trim();
	if (window.widget && widget.openURL)
		widget.openURL(address);
	else
		window.open(address);
	return false;
}

function setup()
{
	var icon = document.getElementById("icon");
	if (!icon.getAttribute("src"))
		icon.style.display = "none";
}
