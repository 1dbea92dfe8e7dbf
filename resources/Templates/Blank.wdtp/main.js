// Runs once the page is loaded.
function setup()
{
	document.getElementById("message").textContent = "Your widget starts here.";
}
